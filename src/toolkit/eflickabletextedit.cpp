// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eflickabletextedit.h"

#include "etextedit.h"
#include "toolkitstyle.h"

#include <QPainter>

struct EFlickableTextEditPrivate
{
    ETextEdit *edit = nullptr;
};

EFlickableTextEdit::EFlickableTextEdit(QGraphicsItem *parent)
    : EFlickable(parent), d(std::make_unique<EFlickableTextEditPrivate>())
{
    setFlickDirection(Qt::Vertical);
    setMargins(1, 1, 1, 1);
    d->edit = new ETextEdit;
    d->edit->setFrameVisible(false);
    setContentItem(d->edit);
    setFont(d->edit->font());
    connect(d->edit, &ETextEdit::focusSetted, this, [this] {
        update();
        emit focusSetted();
    });
    connect(d->edit, &ETextEdit::focusLosted, this, [this] {
        update();
        emit focusLosted();
    });
    connect(d->edit, &ETextEdit::onTextChanged, this, &EFlickableTextEdit::onTextChanged);
    connect(d->edit, &ETextEdit::documentHeightChanged, this, &EFlickableTextEdit::fitEditor);
    connect(d->edit, &ETextEdit::cursorPositionChanged, this, [this](const QTextCursor &c) {
        // Follow the cursor, unless the user is busy scrolling by hand.
        if (!isDragging())
            ensureVisible(d->edit->cursorRect());
        emit cursorPositionChanged(c);
    });
}

EFlickableTextEdit::~EFlickableTextEdit() = default;

ETextEdit *EFlickableTextEdit::textEdit() const
{
    return d->edit;
}
QString EFlickableTextEdit::text() const
{
    return d->edit->text();
}
void EFlickableTextEdit::setText(const QString &text)
{
    d->edit->setText(text);
}
QColor EFlickableTextEdit::colortext() const
{
    return d->edit->colortext();
}
void EFlickableTextEdit::setColortext(const QColor &color)
{
    d->edit->setColortext(color);
}
void EFlickableTextEdit::setReadOnly(bool readOnly)
{
    d->edit->setReadOnly(readOnly);
}
void EFlickableTextEdit::setMaxLength(int length)
{
    d->edit->setMaxLength(length);
}
QTextCursor EFlickableTextEdit::textCursor() const
{
    return d->edit->textCursor();
}
void EFlickableTextEdit::openSoftwareInputPanel()
{
    d->edit->openSoftwareInputPanel();
}
void EFlickableTextEdit::closeSoftwareInputPanel()
{
    d->edit->closeSoftwareInputPanel();
}

void EFlickableTextEdit::fitEditor()
{
    if (!d->edit)
        return; // margins set while constructing
    const QRectF inner = innerRect();
    // The editor is at least as tall as the view, so a tap anywhere below the text still edits.
    const qreal h = qMax(inner.height(), d->edit->documentHeight());
    if (d->edit->size() != QSizeF(inner.width(), h))
        d->edit->resize(inner.width(), h);
}

void EFlickableTextEdit::geometryUpdated()
{
    EFlickable::geometryUpdated();
    fitEditor();
}

void EFlickableTextEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange && d && d->edit)
        d->edit->setFont(font());
    EFlickable::changeEvent(event);
}

void EFlickableTextEdit::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    EStyle::States s = isEnabled() ? EStyle::Normal : EStyle::Disabled;
    if (d->edit->hasEditFocus())
        s |= EStyle::Focused;
    EStyle::drawField(painter, rect(), s);
}
