// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "enumericwidget.h"

#include "estatictext.h"
#include "etoolkittiming.h"
#include "toolkitconstants.h"
#include "toolkitstyle.h"

#include <QGraphicsSceneMouseEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QtMath>

#include <cmath>
#include <vector>

namespace {
// Typed text is limited: a field never needs more, and unbounded input would only grow the layout.
constexpr int kMaxEditLength = 24;
constexpr int kMaxDecimals = 6;
// Outline of a field whose typed value was refused.
constexpr QRgb kRefused = 0xffd32f2f;

// What the frame of a field (entry well and step buttons, without the value) looks like. Fields
// on a page mostly share a size, so a handful of pictures serve every field of a room.
struct FrameLook
{
    QSizeF size;
    QRectF valueArea;
    QRectF minus;
    QRectF plus;
    int fieldState = 0;
    int minusState = 0;
    int plusState = 0;
    bool field = true;
    bool enabled = true;
    qreal dpr = 1;

    bool operator==(const FrameLook &o) const
    {
        return size == o.size && valueArea == o.valueArea && minus == o.minus && plus == o.plus &&
               fieldState == o.fieldState && minusState == o.minusState &&
               plusState == o.plusState && field == o.field && enabled == o.enabled &&
               qFuzzyCompare(dpr, o.dpr);
    }
};

struct GlyphPens
{
    const QPen *normal;
    const QPen *disabled;
};

void paintFrame(QPainter *painter, const FrameLook &look, const GlyphPens &pens)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (look.field)
        EStyle::drawField(painter, look.valueArea, EStyle::States(look.fieldState));
    if (look.minus.isEmpty())
        return;
    for (int dir : {-1, +1}) {
        const QRectF &b = dir < 0 ? look.minus : look.plus;
        const EStyle::States s(dir < 0 ? look.minusState : look.plusState);
        EStyle::drawButton(painter, b, s, EStyle::kRadiusSmall);
        painter->setPen(look.enabled ? *pens.normal : *pens.disabled);
        const qreal g = qMin(b.width(), b.height()) * 0.22;
        const QPointF c = b.center() + ((s & EStyle::Pressed) ? QPointF(0, 1) : QPointF());
        painter->drawLine(QPointF(c.x() - g, c.y()), QPointF(c.x() + g, c.y()));
        if (dir > 0)
            painter->drawLine(QPointF(c.x(), c.y() - g), QPointF(c.x(), c.y() + g));
    }
}

// Frames painted once and blitted after: antialiased rounded panels with gradients cost several
// times a plain rectangle, a blit of the finished picture about the same. GUI thread only. The
// newest entry is looked up first; past the bound the oldest goes.
class FrameCache
{
public:
    static constexpr size_t kMaxEntries = 32;

    const QImage &frame(const FrameLook &look, const GlyphPens &pens)
    {
        for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
            if (it->first == look)
                return it->second;
        }
        if (m_entries.size() >= kMaxEntries)
            m_entries.erase(m_entries.begin());
        QImage image(qCeil(look.size.width() * look.dpr), qCeil(look.size.height() * look.dpr),
                     QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(look.dpr);
        image.fill(Qt::transparent);
        QPainter p(&image);
        paintFrame(&p, look, pens);
        p.end();
        m_entries.emplace_back(look, image);
        return m_entries.back().second;
    }

private:
    std::vector<std::pair<FrameLook, QImage>> m_entries;
};

FrameCache &frameCache()
{
    static FrameCache cache;
    return cache;
}

} // namespace

struct ENumericWidgetPrivate
{
    double value = 0;
    double minimum = 0;
    double maximum = 100.0;
    double step = 1.0;
    int decimals = 0;
    bool stepButtons = true;
    bool typing = false;
    bool displayOnly = false;
    int pressedButton = 0; // -1 minus, +1 plus
    bool editing = false;
    bool refusesOutOfRange = false;
    bool refused = false;
    QString editText;
    QTimer holdTimer;
    QTimer repeatTimer;
    QColor color = EStyle::color(EStyle::kInk);
    QPen textPen = QPen(EStyle::color(EStyle::kInk));
    QPen glyphPen = QPen(EStyle::color(EStyle::kPaper), 2.4, Qt::SolidLine, Qt::RoundCap);
    QPen glyphDisabledPen =
        QPen(EStyle::color(EStyle::kDisabledText), 2.4, Qt::SolidLine, Qt::RoundCap);
    QPen caretPen = QPen(EStyle::color(EStyle::kAccent), 2);
    QPen refusedPen = QPen(EStyle::color(kRefused), 2);
    QRectF minus;
    QRectF plus;
    QRectF valueArea;
    EStaticText text;
};

ENumericWidget::ENumericWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<ENumericWidgetPrivate>())
{
    setFont(EStyle::font(12));
    d->text.setFont(font());
    d->text.setAlignment(Qt::AlignCenter);
    d->holdTimer.setSingleShot(true);
    d->holdTimer.setInterval(EToolkit::holdTimes().autoRepeatMs);
    d->repeatTimer.setInterval(EToolkit::kAutoRepeatIntervalMs);
    connect(&d->holdTimer, &QTimer::timeout, this, &ENumericWidget::onHoldTimeout);
    connect(&d->repeatTimer, &QTimer::timeout, this, &ENumericWidget::onRepeat);
    setAcceptedMouseButtons(Qt::LeftButton);
    setFlag(ItemIsFocusable, true);
    refreshText();
}

ENumericWidget::~ENumericWidget() = default;

double ENumericWidget::value() const
{
    return d->value;
}
double ENumericWidget::minimum() const
{
    return d->minimum;
}
double ENumericWidget::maximum() const
{
    return d->maximum;
}
double ENumericWidget::step() const
{
    return d->step;
}
int ENumericWidget::decimals() const
{
    return d->decimals;
}
QColor ENumericWidget::colortext() const
{
    return d->color;
}
bool ENumericWidget::stepButtonsVisible() const
{
    return d->stepButtons;
}
bool ENumericWidget::typingEnabled() const
{
    return d->typing;
}
bool ENumericWidget::displayOnly() const
{
    return d->displayOnly;
}
void ENumericWidget::setRefusesOutOfRange(bool on)
{
    d->refusesOutOfRange = on;
}
bool ENumericWidget::refusesOutOfRange() const
{
    return d->refusesOutOfRange;
}
bool ENumericWidget::hasRefusedInput() const
{
    return d->refused;
}
bool ENumericWidget::isEditing() const
{
    return d->editing;
}
QString ENumericWidget::editText() const
{
    return d->editText;
}
QRectF ENumericWidget::minusRect() const
{
    return d->minus;
}
QRectF ENumericWidget::plusRect() const
{
    return d->plus;
}
QRectF ENumericWidget::valueRect() const
{
    return d->valueArea;
}

void ENumericWidget::setValue(double value)
{
    if (!std::isfinite(value))
        return;
    value = qBound(d->minimum, value, d->maximum);
    if (value == d->value)
        return;
    d->value = value;
    refreshText();
}

void ENumericWidget::setMinimum(double minimum)
{
    setRange(minimum, qMax(minimum, d->maximum));
}

void ENumericWidget::setMaximum(double maximum)
{
    setRange(qMin(d->minimum, maximum), maximum);
}

void ENumericWidget::setRange(double minimum, double maximum)
{
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    if (maximum < minimum)
        std::swap(minimum, maximum);
    d->minimum = minimum;
    d->maximum = maximum;
    d->value = qBound(minimum, d->value, maximum);
    refreshText();
}

void ENumericWidget::setStep(double step)
{
    // A step of zero or less would make the buttons do nothing while repeating forever.
    d->step = (std::isfinite(step) && step > 0) ? step : 0;
}

void ENumericWidget::setDecimals(int decimals)
{
    d->decimals = qBound(0, decimals, kMaxDecimals);
    refreshText();
}

void ENumericWidget::setColortext(const QColor &color)
{
    d->color = color;
    d->textPen.setColor(color);
    update();
}

void ENumericWidget::setStepButtonsVisible(bool on)
{
    d->stepButtons = on;
    relayout();
}

void ENumericWidget::setTypingEnabled(bool on)
{
    d->typing = on;
    if (!on && d->editing)
        cancelEdit();
}

void ENumericWidget::setDisplayOnly(bool on)
{
    d->displayOnly = on;
    if (on) {
        stopRepeat();
        if (d->editing)
            cancelEdit();
    }
    relayout();
}

void ENumericWidget::setModes(bool stepButtons, bool typing, bool displayOnly)
{
    setStepButtonsVisible(stepButtons);
    setTypingEnabled(typing);
    setDisplayOnly(displayOnly);
}

QString ENumericWidget::displayText() const
{
    return formatValue(d->value);
}

QString ENumericWidget::formatValue(double value) const
{
    return QString::number(value, 'f', d->decimals);
}

bool ENumericWidget::parseText(const QString &text, double *value) const
{
    QString t = text.trimmed();
    // Both decimal marks are taken: panels are used with either keyboard layout.
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool ENumericWidget::acceptsChar(QChar c) const
{
    return c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char(',') || c == QLatin1Char('-') ||
           c == QLatin1Char('+');
}

void ENumericWidget::emitUserValue(double value)
{
    emit valueChanged(value);
}

void ENumericWidget::refreshText()
{
    d->text.setText(d->editing ? d->editText : formatValue(d->value));
    update();
}

void ENumericWidget::setRepeatTimes(int firstMs, int everyMs)
{
    d->holdTimer.setInterval(qMax(0, firstMs));
    d->repeatTimer.setInterval(qMax(1, everyMs));
}

void ENumericWidget::stepUp()
{
    applyStep(+1);
}

void ENumericWidget::stepDown()
{
    applyStep(-1);
}

void ENumericWidget::applyStep(int direction)
{
    if (d->step <= 0)
        return;
    if (d->refused) {
        d->refused = false;
        update();
    }
    double v = d->value + direction * d->step;
    // Rounded to the shown decimals so that repeated 0.1 steps do not drift into 0.30000000004.
    const double scale = std::pow(10.0, d->decimals);
    v = std::round(v * scale) / scale;
    v = qBound(d->minimum, v, d->maximum);
    if (v == d->value) {
        stopRepeat(); // at a limit: nothing more to repeat
        return;
    }
    d->value = v;
    refreshText();
    emitUserValue(v);
}

void ENumericWidget::onHoldTimeout()
{
    if (d->pressedButton != 0)
        d->repeatTimer.start();
}

void ENumericWidget::onRepeat()
{
    if (d->pressedButton == 0 || !isEnabled()) {
        stopRepeat();
        return;
    }
    applyStep(d->pressedButton);
}

void ENumericWidget::stopRepeat()
{
    d->holdTimer.stop();
    d->repeatTimer.stop();
}

void ENumericWidget::relayout()
{
    const QRectF r = innerRect();
    if (d->displayOnly || !d->stepButtons) {
        d->minus = d->plus = QRectF();
        d->valueArea = r;
    } else {
        // Square buttons at both ends, never wider than a third each.
        const qreal b = qMin(r.height(), r.width() / 3);
        d->minus = QRectF(r.left(), r.top(), b, r.height());
        d->plus = QRectF(r.right() - b, r.top(), b, r.height());
        d->valueArea = QRectF(d->minus.right() + 3, r.top(), qMax<qreal>(0, r.width() - 2 * b - 6),
                              r.height());
    }
    d->text.setRect(d->valueArea.adjusted(4, 0, -4, 0));
    update();
}

void ENumericWidget::geometryUpdated()
{
    relayout();
}

void ENumericWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        d->text.setFont(font());
    EGraphicsWidget::changeEvent(event);
}

void ENumericWidget::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled() || d->displayOnly) {
        event->ignore();
        return;
    }
    const QPointF p = event->pos();
    if (d->minus.contains(p) || d->plus.contains(p)) {
        event->accept();
        if (d->editing)
            commitEdit();
        d->pressedButton = d->minus.contains(p) ? -1 : +1;
        applyStep(d->pressedButton);
        d->holdTimer.start();
        update();
        return;
    }
    if (d->typing && d->valueArea.contains(p)) {
        event->accept();
        if (!d->editing)
            beginEdit();
        return;
    }
    event->ignore();
}

void ENumericWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    stopRepeat();
    if (d->pressedButton != 0) {
        d->pressedButton = 0;
        update();
        emit stepReleased();
    }
}

void ENumericWidget::ungrabMouseEvent(QEvent *event)
{
    stopRepeat();
    if (d->pressedButton != 0) {
        d->pressedButton = 0;
        update();
        emit stepReleased();
    }
    EGraphicsWidget::ungrabMouseEvent(event);
}

void ENumericWidget::beginEdit()
{
    d->editing = true;
    d->editText = formatValue(d->value);
    setFocus(Qt::MouseFocusReason);
    openSoftwareInputPanel();
    refreshText();
}

void ENumericWidget::commitEdit()
{
    if (!d->editing)
        return;
    d->editing = false;
    double v = 0;
    // Text that is not a number changes nothing; a number out of range is clamped, or refused
    // by a field that asks for it.
    if (parseText(d->editText, &v)) {
        if (d->refusesOutOfRange && (v < d->minimum || v > d->maximum)) {
            d->refused = true;
            refreshText();
            emit inputRefused(d->editText);
            return;
        }
        d->refused = false;
        v = qBound(d->minimum, v, d->maximum);
        if (v != d->value) {
            d->value = v;
            refreshText();
            emitUserValue(v);
            return;
        }
    }
    refreshText();
}

void ENumericWidget::cancelEdit()
{
    d->editing = false;
    refreshText();
}

void ENumericWidget::keyPressEvent(QKeyEvent *event)
{
    if (!d->editing) {
        if (!d->displayOnly && isEnabled() &&
            (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
            applyStep(event->key() == Qt::Key_Up ? +1 : -1);
            return;
        }
        EGraphicsWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        commitEdit();
        closeSoftwareInputPanel();
        return;
    case Qt::Key_Escape:
        cancelEdit();
        closeSoftwareInputPanel();
        return;
    case Qt::Key_Backspace:
        d->editText.chop(1);
        refreshText();
        return;
    default:
        break;
    }
    const QString typed = event->text();
    bool took = false;
    for (const QChar c : typed) {
        if (acceptsChar(c) && d->editText.size() < kMaxEditLength) {
            d->editText.append(c);
            took = true;
        }
    }
    if (took)
        refreshText();
    else
        event->ignore();
}

void ENumericWidget::focusOutEvent(QFocusEvent *event)
{
    commitEdit();
    closeSoftwareInputPanel();
    EGraphicsWidget::focusOutEvent(event);
}

QVariant ENumericWidget::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if ((change == ItemEnabledHasChanged && !isEnabled()) ||
        (change == ItemVisibleHasChanged && !isVisible())) {
        stopRepeat();
        d->pressedButton = 0;
        if (d->editing)
            cancelEdit();
    }
    return EGraphicsWidget::itemChange(change, value);
}

void ENumericWidget::openSoftwareInputPanel()
{
    if (QInputMethod *im = QGuiApplication::inputMethod())
        im->show();
}

void ENumericWidget::closeSoftwareInputPanel()
{
    if (QInputMethod *im = QGuiApplication::inputMethod())
        im->hide();
}

void ENumericWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const bool enabled = isEnabled();
    FrameLook look;
    look.size = size();
    look.valueArea = d->valueArea;
    look.minus = d->minus;
    look.plus = d->plus;
    look.field = !d->displayOnly;
    look.enabled = enabled;
    const int base = enabled ? EStyle::Normal : EStyle::Disabled;
    look.fieldState = base | (d->editing ? EStyle::Focused : 0);
    look.minusState = base | (d->pressedButton < 0 ? EStyle::Pressed : 0);
    look.plusState = base | (d->pressedButton > 0 ? EStyle::Pressed : 0);
    const GlyphPens pens{&d->glyphPen, &d->glyphDisabledPen};
    // A blit only matches on whole device pixels; a scaled or rotated view paints directly.
    if (painter->transform().type() <= QTransform::TxTranslate && !look.size.isEmpty()) {
        look.dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawImage(QPointF(), frameCache().frame(look, pens));
    } else {
        paintFrame(painter, look, pens);
    }
    painter->setRenderHint(QPainter::Antialiasing, true);
    if (d->refused && !d->valueArea.isEmpty()) {
        painter->setPen(d->refusedPen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(d->valueArea.adjusted(1, 1, -1, -1), EStyle::kRadiusSmall,
                                 EStyle::kRadiusSmall);
    }
    painter->setPen(d->textPen);
    d->text.draw(painter);
    if (d->editing) {
        // Caret after the typed text (centred text: its right edge).
        const qreal w = qMin(d->text.naturalSize().width(), d->valueArea.width() - 8);
        const qreal x = d->valueArea.center().x() + w / 2 + 2;
        const qreal h = d->valueArea.height() * 0.3;
        painter->setPen(d->caretPen);
        painter->drawLine(QPointF(x, d->valueArea.center().y() - h),
                          QPointF(x, d->valueArea.center().y() + h));
    }
}
