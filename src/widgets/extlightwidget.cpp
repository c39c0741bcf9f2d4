// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extlightwidget.h"

#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "lightcontrolv1.h"
#include "toolkitstyle.h"

#include <QFontMetricsF>
#include <QGraphicsSceneMouseEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace {
constexpr qreal kBarWidth = 30;
constexpr qreal kNoImageHeight = 70;
constexpr qreal kCaptionMinHeight = 20;
constexpr qreal kCaptionPad = 6;
constexpr int kBarAlpha = 200;
constexpr int kMaxBrightness = 10;
// The widest percentage the bar shows, and the largest and smallest type it is drawn in.
const char *const kWidestPercent = "100%";
constexpr int kPercentPx = 11;
constexpr int kMinPercentPx = 6;
// A caption's reach until the room screen knows the plan.
constexpr qreal kDefaultCaptionWidth = 320;
} // namespace

struct ExtLightWidgetPrivate
{
    QString imageName;
    bool hasImageName = false;
    QImage image;
    QPixmap pixmap;     // the picture scaled into imageRect
    QPixmap greyPixmap; // its disabled look, made on first need
    QColor captionColor = Qt::white;
    bool dimmer = false;
    int brightness = 0;
    int minimum = 0;
    int maximum = kMaxBrightness;
    QColor barColor = QColor(QStringLiteral("green"));
    QColor barColor2 = QColor(QStringLiteral("green")).lighter(160);
    bool barDrag = false;
    bool dependency = false;
    int switches[3] = {0, 0, 0};
    bool marked = false;

    QRectF bar;
    QRectF imageRect;
    QRectF captionRect;
    QString percentText;
    QString switchText;
    QFont percentFont;
    QString captionText;   // the caption, elided to its box
    QString captionSource; // the text it was elided from
    QString onImage;
    QString offImage;
    bool lit = false;
    bool lampImages = false;
    qreal captionMaxWidth = kDefaultCaptionWidth;
};

ExtLightWidget::ExtLightWidget(QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<ExtLightWidgetPrivate>())
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(10);
    setFont(f);
    d->percentText = QStringLiteral("0%");
}

ExtLightWidget::~ExtLightWidget() = default;

void ExtLightWidget::setImageName(const QString &name)
{
    if (d->hasImageName && name == d->imageName)
        return;
    d->hasImageName = true;
    d->imageName = name;
    d->image = ExtWidgetFactory::imageForName(name);
    relayout();
}

void ExtLightWidget::setLampImages(const QString &on, const QString &off)
{
    d->onImage = on;
    d->offImage = off;
    d->lampImages = true;
    showLampImage();
}

void ExtLightWidget::setLit(bool lit)
{
    d->lit = lit;
    showLampImage();
}

bool ExtLightWidget::showsLit() const
{
    return d->lit;
}

void ExtLightWidget::showLampImage()
{
    if (d->lampImages)
        setImageName(showsLit() ? d->onImage : d->offImage);
}

void ExtLightWidget::setCaptionMaxWidth(qreal width)
{
    if (qFuzzyCompare(width + 1, d->captionMaxWidth + 1))
        return;
    prepareGeometryChange();
    d->captionMaxWidth = qMax<qreal>(0, width);
    relayout();
}

QRectF ExtLightWidget::captionRect() const
{
    return d->captionRect;
}

QFont ExtLightWidget::percentFont() const
{
    return d->percentFont;
}

QString ExtLightWidget::percentText() const
{
    // A lamp the controller reports on gives light whatever its level reads: it never shows
    // lit at "0%" (the level shows again once it is above the bottom).
    if (d->lit && d->brightness <= d->minimum)
        return QString();
    return d->percentText;
}

QRectF ExtLightWidget::boundingRect() const
{
    // The caption as laid out; relayout() runs after a geometry change is announced whenever
    // the caption box can change.
    const QRectF r = EBaseWidget::boundingRect();
    return text().isEmpty() ? r : r.united(d->captionRect);
}

void ExtLightWidget::textUpdated()
{
    prepareGeometryChange();
    relayout();
}

QString ExtLightWidget::imageName() const
{
    return d->imageName;
}

QImage ExtLightWidget::image() const
{
    return d->image;
}

void ExtLightWidget::setCaptionColor(const QColor &color)
{
    if (color == d->captionColor || !color.isValid())
        return;
    d->captionColor = color;
    update();
}

QColor ExtLightWidget::captionColor() const
{
    return d->captionColor;
}

void ExtLightWidget::setCaptionFont(const QFont &font)
{
    setFont(font);
    relayout();
}

bool ExtLightWidget::isDimmer() const
{
    return d->dimmer;
}

void ExtLightWidget::setDimmer(bool on)
{
    if (on == d->dimmer)
        return;
    d->dimmer = on;
    d->barDrag = false;
    relayout();
}

void ExtLightWidget::setBarColor(const QString &colorName)
{
    const QColor c(colorName);
    if (!c.isValid() || c == d->barColor)
        return;
    d->barColor = c;
    d->barColor2 = c.lighter(160);
    update();
}

QColor ExtLightWidget::barColor() const
{
    return d->barColor;
}

int ExtLightWidget::brightness() const
{
    return d->brightness;
}

void ExtLightWidget::setBrightness(int brightness)
{
    // A poll must not pull the bar from under the user's finger.
    if (d->barDrag || brightness < 0 || brightness > kMaxBrightness || brightness == d->brightness)
        return;
    d->brightness = brightness;
    d->percentText = QString::number(brightness * 10) + QLatin1Char('%');
    showLampImage();
    update();
}

int ExtLightWidget::brightnessMinimum() const
{
    return d->minimum;
}

int ExtLightWidget::brightnessMaximum() const
{
    return d->maximum;
}

void ExtLightWidget::setSwitches(int switch1, int switch2, int switch3)
{
    if (d->switches[0] == switch1 && d->switches[1] == switch2 && d->switches[2] == switch3)
        return;
    d->switches[0] = switch1;
    d->switches[1] = switch2;
    d->switches[2] = switch3;
    QStringList parts;
    for (int s : d->switches) {
        if (s != 0)
            parts << QString::number(s);
    }
    d->switchText = parts.join(QLatin1Char(' '));
    if (d->dependency)
        update();
}

QList<int> ExtLightWidget::switches() const
{
    return {d->switches[0], d->switches[1], d->switches[2]};
}

bool ExtLightWidget::isDependencyMode() const
{
    return d->dependency;
}

void ExtLightWidget::setDependencyMode(bool on)
{
    if (on == d->dependency)
        return;
    d->dependency = on;
    update();
}

bool ExtLightWidget::isMarked() const
{
    return d->marked;
}

void ExtLightWidget::setMarked(bool marked)
{
    if (marked == d->marked)
        return;
    d->marked = marked;
    update();
}

bool ExtLightWidget::isBarDragActive() const
{
    return d->barDrag;
}

bool ExtLightWidget::followsFinger() const
{
    return d->barDrag || EBaseWidget::followsFinger();
}

QRectF ExtLightWidget::barRect() const
{
    return d->bar;
}

QRectF ExtLightWidget::imageRect() const
{
    return d->imageRect;
}

int ExtLightWidget::brightnessAt(qreal y) const
{
    const qreal h = d->bar.height();
    if (h <= 0 || d->maximum <= d->minimum)
        return d->brightness;
    const qreal pos = qBound(qreal(0), y - d->bar.top(), h);
    const qreal perStep = h / (d->maximum - d->minimum);
    const int value = int((d->bar.top() + h - (d->bar.top() + pos)) / perStep);
    return qBound(d->minimum, value, d->maximum);
}

void ExtLightWidget::adjustToContents()
{
    const QFontMetricsF fm(font());
    const qreal imgW = d->image.isNull() ? 0 : d->image.width();
    const qreal imgH = d->image.isNull() ? kNoImageHeight : d->image.height();
    const qreal captionH = qMax(kCaptionMinHeight, fm.height());
    // Without a picture the caption is all there is to tap: it gives the width then.
    const qreal captionW =
        text().isEmpty() || !d->image.isNull()
            ? 0
            : qMin(fm.horizontalAdvance(text()) + kCaptionPad, d->captionMaxWidth);
    const qreal w = qMax(imgW, captionW) + (d->dimmer ? kBarWidth : 0);
    resize(qMax<qreal>(w, 1), imgH + captionH);
}

void ExtLightWidget::geometryUpdated()
{
    EBaseWidget::geometryUpdated();
    relayout();
}

void ExtLightWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        d->barDrag = false;
    if (event->type() == QEvent::FontChange) {
        prepareGeometryChange();
        relayout();
    }
    EBaseWidget::changeEvent(event);
}

void ExtLightWidget::relayout()
{
    const QRectF r = rect();
    const QFontMetricsF fm(font());
    const qreal captionH = qMax(kCaptionMinHeight, fm.height());
    // As wide as the text needs, up to the reach the plan leaves, centred under the widget.
    const qreal captionW =
        qMax(r.width(), qMin(fm.horizontalAdvance(text()) + kCaptionPad, d->captionMaxWidth));
    d->captionRect =
        QRectF(r.center().x() - captionW / 2, r.bottom() - captionH, captionW, captionH);
    d->captionText = fm.elidedText(text(), Qt::ElideRight, captionW);
    d->captionSource = text();
    QRectF content(r.left(), r.top(), r.width(), qMax<qreal>(0, r.height() - captionH));
    if (d->dimmer) {
        if (d->image.isNull()) {
            d->bar = QRectF(content.center().x() - kBarWidth / 2, content.top(), kBarWidth,
                            content.height());
        } else {
            d->bar =
                QRectF(content.right() - kBarWidth, content.top(), kBarWidth, content.height());
            content.setRight(content.right() - kBarWidth);
        }
    } else {
        d->bar = QRectF();
    }
    d->percentFont = font();
    d->percentFont.setBold(false);
    for (int px = kPercentPx; px >= kMinPercentPx; --px) {
        d->percentFont.setPixelSize(px);
        if (QFontMetricsF(d->percentFont).horizontalAdvance(QLatin1String(kWidestPercent)) <=
            d->bar.width() - 4)
            break;
    }
    d->imageRect = QRectF();
    d->pixmap = QPixmap();
    d->greyPixmap = QPixmap();
    if (!d->image.isNull() && content.width() >= 1 && content.height() >= 1) {
        const QSizeF fitted = QSizeF(d->image.size()).scaled(content.size(), Qt::KeepAspectRatio);
        d->imageRect = QRectF(QPointF(), fitted);
        d->imageRect.moveCenter(content.center());
        const QSize px = fitted.toSize().expandedTo(QSize(1, 1));
        d->pixmap =
            QPixmap::fromImage(d->image.size() == px ? d->image
                                                     : d->image.scaled(px, Qt::IgnoreAspectRatio,
                                                                       Qt::SmoothTransformation));
    }
    update();
}

void ExtLightWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setFont(font());
    if (d->marked) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(255, 214, 64, 170));
        painter->drawRoundedRect(rect().adjusted(1, 1, -1, -1), 5, 5);
    } else if (isPressed() && !d->barDrag) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 0, 0, 60));
        painter->drawRoundedRect(rect().adjusted(1, 1, -1, -1), 5, 5);
    }
    if (!d->pixmap.isNull()) {
        if (!isEnabled()) {
            if (d->greyPixmap.isNull())
                d->greyPixmap = QPixmap::fromImage(EStyle::greyscale(d->pixmap.toImage()));
            painter->drawPixmap(d->imageRect.topLeft(), d->greyPixmap);
        } else {
            painter->drawPixmap(d->imageRect.topLeft(), d->pixmap);
        }
    }
    if (d->dimmer && !d->bar.isEmpty()) {
        const QRectF bar = d->bar.adjusted(1, 1, -1, -1);
        QLinearGradient back(bar.topLeft(), bar.topRight());
        back.setColorAt(0, QColor(255, 255, 255, kBarAlpha));
        back.setColorAt(1, QColor(153, 153, 153, kBarAlpha));
        painter->setPen(QPen(QColor(0x5a, 0x5a, 0x5a, kBarAlpha), 0.5));
        painter->setBrush(back);
        painter->drawRoundedRect(bar, 5, 5);
        const int range = d->maximum - d->minimum;
        const qreal share = range > 0 ? qreal(d->brightness - d->minimum) / range : 0;
        if (share > 0) {
            QRectF level = bar;
            level.setTop(bar.bottom() - bar.height() * share);
            QColor c1 = d->barColor;
            QColor c2 = d->barColor2;
            c1.setAlpha(kBarAlpha);
            c2.setAlpha(kBarAlpha);
            QLinearGradient fill(level.topLeft(), level.topRight());
            fill.setColorAt(0, c2);
            fill.setColorAt(1, c1);
            painter->setPen(Qt::NoPen);
            painter->setBrush(fill);
            painter->drawRoundedRect(level, 5, 5);
        }
        painter->setPen(Qt::black);
        painter->setFont(d->percentFont);
        painter->drawText(bar, Qt::AlignCenter, percentText());
        painter->setFont(font());
    }
    if (d->dependency && !d->switchText.isEmpty()) {
        // The switches a lamp answers to, so that association mode can be checked at a glance.
        const QFontMetricsF fm(font());
        QRectF badge(0, 0, fm.horizontalAdvance(d->switchText) + 8, fm.height() + 2);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 57, 179, 200));
        painter->drawRoundedRect(badge, 4, 4);
        painter->setPen(Qt::white);
        painter->drawText(badge, Qt::AlignCenter, d->switchText);
    }
    if (!text().isEmpty()) {
        painter->setPen(isEnabled() ? d->captionColor : QColor(Qt::gray));
        painter->drawText(d->captionRect, Qt::AlignCenter | Qt::TextSingleLine, d->captionText);
    }
}

void ExtLightWidget::dragTo(qreal y)
{
    const int value = brightnessAt(y);
    d->brightness = value;
    d->percentText = QString::number(value * 10) + QLatin1Char('%');
    showLampImage();
    update();
    emit BrightnessChanged(value);
}

void ExtLightWidget::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && isEnabled() && d->dimmer &&
        d->bar.contains(event->pos()) && d->bar.height() > 0) {
        d->barDrag = true;
        event->accept();
        dragTo(event->pos().y());
        return;
    }
    EBaseWidget::mousePressEvent(event);
}

void ExtLightWidget::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (d->barDrag) {
        dragTo(event->pos().y());
        return;
    }
    EBaseWidget::mouseMoveEvent(event);
}

void ExtLightWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (d->barDrag) {
        d->barDrag = false;
        update();
        return;
    }
    EBaseWidget::mouseReleaseEvent(event);
}

void ExtLightWidget::ungrabMouseEvent(QEvent *event)
{
    d->barDrag = false;
    EBaseWidget::ungrabMouseEvent(event);
}

QVector<ExtWidgetKind> ExtLightWidget::widgetKinds()
{
    using W = ExtLightWidget;
    using R = LightControlV1;
    return {ExtWidgetKind::of<W, R>(
                ControlConstants::KindLight, ExtClickAction::Lamp,
                [](R *, QGraphicsItem *plan) { return new W(plan); },
                [](W *w, R *r) {
                    w->setText(r->textB());
                    w->setCaptionColor(Qt::white);
                    w->setCaptionFont(ExtWidgetFactory::buttonFont());
                    w->setDimmer(r->isDimmer());
                    w->setLampImages(r->imageOn(), r->imageOff());
                    if (r->isDimmer())
                        w->setBarColor(r->sliderColor());
                    w->adjustToContents();
                    w->show();
                },
                [](W *w, const R *r) {
                    // While a command is pending the lamp shows what the person asked for.
                    if (r->isChanged())
                        return;
                    // State byte bit 0 set means off (the lamp record's own sense).
                    w->setBrightness(r->brightness());
                    w->setLit(r->lampState() == 0);
                    w->setSwitches(r->switch1(), r->switch2(), r->switch3());
                })
                .withValue(ExtValueAction::Brightness, &W::BrightnessChanged)};
}
