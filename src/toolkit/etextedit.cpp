// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "etextedit.h"

#include "toolkitstyle.h"

#include <QAbstractTextDocumentLayout>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsTextItem>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionGraphicsItem>
#include <QTextBlock>
#include <QTextDocument>

namespace {
constexpr qreal kPadding = 6;
}

// The text item that does the editing; it reports focus and keys back to its ETextEdit.
class ETextEditItem : public QGraphicsTextItem
{
public:
    ETextEditItem(ETextEdit *owner) : QGraphicsTextItem(owner), m_owner(owner) {}

    // The owner is being destroyed: its children (we are one) outlive its own destructor, and a
    // focus change while they go must not call back into it.
    void detach() { m_owner = nullptr; }

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QGraphicsTextItem::focusInEvent(event);
        if (!m_owner)
            return;
        m_owner->update();
        m_owner->openSoftwareInputPanel();
        emit m_owner->focusSetted();
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        QGraphicsTextItem::focusOutEvent(event);
        if (!m_owner)
            return;
        m_owner->update();
        m_owner->closeSoftwareInputPanel();
        emit m_owner->focusLosted();
    }

    void keyPressEvent(QKeyEvent *event) override;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override
    {
        // The text item marks focus with a dashed frame; the field's own border shows it instead.
        QStyleOptionGraphicsItem plain(*option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QGraphicsTextItem::paint(painter, &plain, widget);
    }

    void inputMethodEvent(QInputMethodEvent *event) override
    {
        QGraphicsTextItem::inputMethodEvent(event);
        if (m_owner)
            m_owner->checkCursor();
    }

    // The text item has no cursor signal of its own; every way the cursor can move passes here.
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override
    {
        QGraphicsTextItem::mousePressEvent(event);
        if (m_owner)
            m_owner->checkCursor();
    }

    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override
    {
        QGraphicsTextItem::mouseMoveEvent(event);
        if (m_owner)
            m_owner->checkCursor();
    }

    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override
    {
        QGraphicsTextItem::mouseReleaseEvent(event);
        if (m_owner)
            m_owner->checkCursor();
    }

private:
    ETextEdit *m_owner;
};

struct ETextEditPrivate
{
    ETextEditItem *item = nullptr;
    QColor color = EStyle::color(EStyle::kInk);
    bool singleLine = false;
    bool readOnly = false;
    bool frame = true;
    int maxLength = 0;
    QString placeholder;
    int lastPosition = 0;
    int lastAnchor = 0;
    bool guard = false;
    qreal lastHeight = -1;
};

void ETextEditItem::keyPressEvent(QKeyEvent *event)
{
    if (m_owner && m_owner->d->singleLine &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        emit m_owner->returnPressed();
        return;
    }
    QGraphicsTextItem::keyPressEvent(event);
    if (m_owner)
        m_owner->checkCursor();
}

ETextEdit::ETextEdit(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<ETextEditPrivate>())
{
    setFlag(ItemClipsChildrenToShape, true);
    setAcceptedMouseButtons(Qt::LeftButton);
    setFont(EStyle::font(EStyle::kFieldFontPx));
    d->item = new ETextEditItem(this);
    d->item->setFont(font());
    d->item->setDefaultTextColor(d->color);
    d->item->setTextInteractionFlags(Qt::TextEditorInteraction);
    d->item->document()->setDocumentMargin(0);
    // Focus given to or taken from the field goes to the text item that does the editing.
    setFlag(ItemIsFocusable, true);
    setFocusProxy(d->item);
    connect(d->item->document(), &QTextDocument::contentsChanged, this,
            &ETextEdit::handleContentsChanged);
    setMargins(kPadding, kPadding, kPadding, kPadding);
}

ETextEdit::~ETextEdit()
{
    d->item->detach();
}

QString ETextEdit::text() const
{
    return d->item->toPlainText();
}

void ETextEdit::setText(const QString &text)
{
    if (text == this->text())
        return;
    d->item->setPlainText(d->singleLine ? QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))
                                        : text);
    QTextCursor c = d->item->textCursor();
    c.movePosition(QTextCursor::End);
    d->item->setTextCursor(c);
    checkCursor();
}

QColor ETextEdit::colortext() const
{
    return d->color;
}

void ETextEdit::setColortext(const QColor &color)
{
    d->color = color;
    d->item->setDefaultTextColor(color);
}

bool ETextEdit::isReadOnly() const
{
    return d->readOnly;
}

void ETextEdit::setReadOnly(bool readOnly)
{
    d->readOnly = readOnly;
    d->item->setTextInteractionFlags(readOnly
                                         ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                         : Qt::TextEditorInteraction);
    update();
}

bool ETextEdit::isSingleLine() const
{
    return d->singleLine;
}

void ETextEdit::setSingleLine(bool single)
{
    d->singleLine = single;
    if (single)
        setText(text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    geometryUpdated();
}

int ETextEdit::maxLength() const
{
    return d->maxLength;
}

void ETextEdit::setMaxLength(int length)
{
    d->maxLength = qMax(0, length);
    handleContentsChanged();
}

void ETextEdit::setFrameVisible(bool visible)
{
    d->frame = visible;
    update();
}

QTextCursor ETextEdit::textCursor() const
{
    return d->item->textCursor();
}

void ETextEdit::setTextCursor(const QTextCursor &cursor)
{
    d->item->setTextCursor(cursor);
    checkCursor();
}

QTextDocument *ETextEdit::document() const
{
    return d->item->document();
}

QRectF ETextEdit::cursorRect() const
{
    const QTextCursor c = d->item->textCursor();
    const QTextBlock block = c.block();
    QAbstractTextDocumentLayout *layout = d->item->document()->documentLayout();
    const QRectF blockRect = layout->blockBoundingRect(block);
    QTextLayout *tl = block.layout();
    if (!tl)
        return QRectF();
    const int pos = c.position() - block.position();
    const QTextLine line = tl->lineForTextPosition(pos);
    if (!line.isValid())
        return d->item->mapRectToParent(QRectF(blockRect.topLeft(), QSizeF(1, blockRect.height())));
    const qreal x = line.cursorToX(pos);
    const QRectF r(blockRect.left() + x, blockRect.top() + line.y(), 1, line.height());
    return d->item->mapRectToParent(r);
}

qreal ETextEdit::documentHeight() const
{
    return d->item->document()->size().height() + marginsTop() + marginsBottom();
}

bool ETextEdit::hasEditFocus() const
{
    return d->item->hasFocus();
}

void ETextEdit::openSoftwareInputPanel()
{
    if (QInputMethod *im = QGuiApplication::inputMethod())
        im->show();
}

void ETextEdit::closeSoftwareInputPanel()
{
    if (QInputMethod *im = QGuiApplication::inputMethod())
        im->hide();
}

void ETextEdit::selectAll()
{
    QTextCursor c = d->item->textCursor();
    c.select(QTextCursor::Document);
    d->item->setTextCursor(c);
    checkCursor();
}

void ETextEdit::clear()
{
    setText(QString());
}

void ETextEdit::setEditFocus()
{
    d->item->setFocus(Qt::OtherFocusReason);
}

void ETextEdit::handleContentsChanged()
{
    if (d->guard)
        return;
    QTextDocument *doc = d->item->document();
    if (d->maxLength > 0 && doc->characterCount() - 1 > d->maxLength) {
        // Cut what was typed or pasted past the limit; the guard keeps the cut from re-entering.
        d->guard = true;
        QTextCursor c(doc);
        c.setPosition(d->maxLength);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        d->guard = false;
    }
    if (d->singleLine && doc->blockCount() > 1) {
        // Pasted line breaks become spaces in a one-line field.
        d->guard = true;
        const QString flat = doc->toPlainText().replace(QLatin1Char('\n'), QLatin1Char(' '));
        const int pos = d->item->textCursor().position();
        doc->setPlainText(flat);
        QTextCursor c(doc);
        c.setPosition(qMin(pos, flat.size()));
        d->item->setTextCursor(c);
        d->guard = false;
    }
    const qreal h = documentHeight();
    if (h != d->lastHeight) {
        d->lastHeight = h;
        emit documentHeightChanged(h);
    }
    emit onTextChanged(text());
}

void ETextEdit::checkCursor()
{
    const QTextCursor c = d->item->textCursor();
    if (c.position() == d->lastPosition && c.anchor() == d->lastAnchor)
        return;
    d->lastPosition = c.position();
    d->lastAnchor = c.anchor();
    keepCursorVisible();
    emit cursorPositionChanged(c);
}

void ETextEdit::keepCursorVisible()
{
    if (!d->singleLine)
        return;
    // One-line fields scroll sideways under the clip so the cursor never leaves the field.
    const QRectF inner = innerRect();
    const QRectF c = cursorRect();
    QPointF p = d->item->pos();
    if (c.right() > inner.right())
        p.rx() -= c.right() - inner.right();
    else if (c.left() < inner.left())
        p.rx() += inner.left() - c.left();
    p.setX(qMin(p.x(), inner.left()));
    d->item->setPos(p);
}

void ETextEdit::geometryUpdated()
{
    const QRectF inner = innerRect();
    if (d->singleLine) {
        d->item->setTextWidth(-1);
        const qreal h = d->item->boundingRect().height();
        d->item->setPos(inner.left(), inner.top() + (inner.height() - h) / 2);
        keepCursorVisible();
    } else {
        d->item->setTextWidth(qMax<qreal>(1, inner.width()));
        d->item->setPos(inner.topLeft());
    }
    const qreal h = documentHeight();
    if (h != d->lastHeight) {
        d->lastHeight = h;
        emit documentHeightChanged(h);
    }
}

void ETextEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        d->item->setFont(font());
        geometryUpdated();
    }
    EGraphicsWidget::changeEvent(event);
}

void ETextEdit::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // A tap on the padding around the text still puts the cursor in the field.
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    d->item->setFocus(Qt::MouseFocusReason);
    QTextCursor c = d->item->textCursor();
    c.movePosition(QTextCursor::End);
    d->item->setTextCursor(c);
    checkCursor();
    event->accept();
}

void ETextEdit::setPlaceholderText(const QString &text)
{
    if (d->placeholder == text)
        return;
    d->placeholder = text;
    update();
}

QString ETextEdit::placeholderText() const
{
    return d->placeholder;
}

void ETextEdit::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (d->frame) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        EStyle::States s = isEnabled() ? EStyle::Normal : EStyle::Disabled;
        if (d->item->hasFocus())
            s |= EStyle::Focused;
        EStyle::drawField(painter, rect(), s);
    }
    if (!d->placeholder.isEmpty() && d->item->document()->isEmpty()) {
        // Where the first line of text would stand, in the muted ink.
        const qreal margin = d->item->document()->documentMargin();
        painter->setFont(d->item->font());
        painter->setPen(EStyle::color(EStyle::kInkMuted));
        painter->drawText(rect().adjusted(margin, margin, -margin, -margin),
                          Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, d->placeholder);
    }
}
