// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extheatwidget.h"

#include "ecoreapp.h"
#include "egridlayout.h"
#include "elabelwidget.h"
#include "elocale.h"
#include "enumericwidget.h"
#include "eprogresswidget.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "heatcontrolv1.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTimer>
#include <cmath>

namespace {
constexpr double kStep = 0.2;
constexpr int kDegreesText = 61187;
// The set-point is one controller byte of 0.2-degree steps: 0 .. 51 degrees.
constexpr int kMaxSteps = 255;
constexpr qreal kCaptionRow = 20;
} // namespace

struct ExtHeatWidgetPrivate
{
    EGridLayout *grid = nullptr;
    ENumericWidget *field = nullptr;
    ELabelWidget *temperature = nullptr;
    EProgressWidget *level = nullptr;
    ELabelWidget *caption = nullptr;
    double temperatureValue = 0;
    int steps = 0;
    bool background = true;
    // Paces the set-point writes while a step button is held.
    QTimer sendTimer;
    bool pending = false;
};

ExtHeatWidget::ExtHeatWidget(QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<ExtHeatWidgetPrivate>())
{
    QFont big(QStringLiteral("Arial"));
    big.setPixelSize(24);
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(24);

    d->field = new ENumericWidget;
    d->field->setRange(0, kMaxSteps * kStep);
    d->field->setStep(kStep);
    d->field->setDecimals(1);
    d->field->setFont(big);
    d->temperature = new ELabelWidget(QStringLiteral("0°C"));
    d->temperature->setColortext(Qt::black);
    d->temperature->setFont(small);
    d->level = new EProgressWidget;
    d->level->setRange(0, 100);
    d->level->setColor(QColor(0x00, 0x39, 0xb3));
    d->caption = new ELabelWidget;
    d->caption->setColortext(Qt::black);
    d->caption->setAlignment(Qt::AlignCenter);
    d->caption->setFont(small);
    d->caption->hide();

    d->grid = new EGridLayout;
    d->grid->setMargins(3, 3, 3, 3);
    d->grid->setRowSizes({5, 0, 5, 20, 1});
    d->grid->setColumnSizes({50, 0});
    d->grid->addWidget(d->field, 1, 0, 1, 2);
    d->grid->addWidget(d->temperature, 3, 0);
    d->grid->addWidget(d->level, 3, 1);
    d->grid->addWidget(d->caption, 4, 0, 1, 2);
    setLayout(d->grid);

    // A tap on the set-point opens its entry: a far value is typed, not stepped to.
    d->field->setTypingEnabled(true);
    d->sendTimer.setSingleShot(true);
    connect(&d->sendTimer, &QTimer::timeout, this, &ExtHeatWidget::sendPending);
    setTimings(kFirstRepeatMs, kRepeatMs, kSendIntervalMs);
    connect(d->field, &ENumericWidget::valueChanged, this, &ExtHeatWidget::plusminusClick);
    // Let go: the value the person stopped on goes out now, not one interval later.
    connect(d->field, &ENumericWidget::stepReleased, this, [this] {
        if (d->pending) {
            d->sendTimer.stop();
            sendPending();
        }
    });
}

void ExtHeatWidget::setTimings(int firstRepeatMs, int repeatMs, int sendIntervalMs)
{
    d->field->setRepeatTimes(firstRepeatMs, repeatMs);
    d->sendTimer.setInterval(qMax(0, sendIntervalMs));
}

void ExtHeatWidget::sendPending()
{
    if (!d->pending)
        return;
    d->pending = false;
    emit ValueChange(d->steps);
    // Values that arrive meanwhile wait for the next interval.
    d->sendTimer.start();
}

ExtHeatWidget::~ExtHeatWidget() = default;

void ExtHeatWidget::setCaption(const QString &caption)
{
    if (caption == d->caption->labelT() && d->caption->isVisible() == !caption.isEmpty())
        return;
    d->caption->setLabelT(caption);
    d->caption->setVisible(!caption.isEmpty());
    d->grid->setRowFixedHeight(4, caption.isEmpty() ? 1 : kCaptionRow);
}

QString ExtHeatWidget::caption() const
{
    return d->caption->labelT();
}

void ExtHeatWidget::setCaptionColor(const QColor &color)
{
    if (color.isValid())
        d->caption->setColortext(color);
}

void ExtHeatWidget::setTemperatureColor(const QColor &color)
{
    if (!color.isValid())
        return;
    // The set-point field keeps its own dark text on its light face.
    d->temperature->setColortext(color);
}

void ExtHeatWidget::setNumericFont(const QFont &font)
{
    d->field->setFont(font);
}

void ExtHeatWidget::setLabelFont(const QFont &font)
{
    d->temperature->setFont(font);
    d->caption->setFont(font);
}

void ExtHeatWidget::setDrawBackground(bool on)
{
    if (on == d->background)
        return;
    d->background = on;
    update();
}

QString ExtHeatWidget::degreesUnit()
{
    // The unit is a text of the language table like any other shown word.
    ELocale *locale = ECoreApp::instance()->locale();
    const QString unit = locale ? locale->text(kDegreesText) : QString();
    return unit.isEmpty() ? QStringLiteral("°C") : unit;
}

QFont ExtHeatWidget::labelFont() const
{
    return d->temperature->font();
}

void ExtHeatWidget::setValues(double temperature, int setPointSteps, int level)
{
    d->level->setValue(level);
    d->steps = qBound(0, setPointSteps, kMaxSteps);
    d->field->setValue(d->steps * kStep);
    const QString text = QString::number(temperature, 'g', 6) + degreesUnit();
    d->temperatureValue = temperature;
    if (text != d->temperature->labelT())
        d->temperature->setLabelT(text);
}

double ExtHeatWidget::temperature() const
{
    return d->temperatureValue;
}

int ExtHeatWidget::setPointSteps() const
{
    return d->steps;
}

int ExtHeatWidget::level() const
{
    return d->level->value();
}

QString ExtHeatWidget::temperatureText() const
{
    return d->temperature->labelT();
}

ENumericWidget *ExtHeatWidget::field() const
{
    return d->field;
}

int ExtHeatWidget::stepsForDegrees(double degrees)
{
    // Truncating degrees / 0.2 loses a step to binary rounding (16.2 / 0.2 = 80.999...), and a
    // value beyond one byte would wrap in the controller.
    if (!std::isfinite(degrees))
        return 0;
    return int(qBound<double>(0, std::floor(degrees / kStep + 0.5), kMaxSteps));
}

void ExtHeatWidget::plusminusClick(double value)
{
    d->steps = stepsForDegrees(value);
    // Each write is a controller request: a held button would send dozens a second. The first
    // change goes out at once, later ones as the latest value once per interval.
    d->pending = true;
    if (!d->sendTimer.isActive())
        sendPending();
}

void ExtHeatWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!d->background)
        return;
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QRectF r = rect().adjusted(1, 1, -1, -1);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, 200));
    g.setColorAt(1, QColor(150, 150, 150, 200));
    painter->setPen(QColor(0, 0, 0, 100));
    painter->setBrush(g);
    painter->drawRoundedRect(r, 10, 10);
}

QVector<ExtWidgetKind> ExtHeatWidget::widgetKinds()
{
    using W = ExtHeatWidget;
    using R = HeatControlV1;
    return {ExtWidgetKind::of<W, R>(
                ControlConstants::KindHeat, ExtClickAction::None,
                [](R *, QGraphicsItem *plan) { return new W(plan); },
                [](W *w, R *r) {
                    w->setCaption(r->textB());
                    w->setCaptionColor(ExtWidgetFactory::colorOf(r->titleColor(), Qt::black));
                    w->setTemperatureColor(ExtWidgetFactory::colorOf(r->fontColor(), Qt::black));
                    w->setLabelFont(ExtWidgetFactory::buttonFont(r->fontSize()));
                    w->resize(ExtWidgetFactory::sizeOf(r->width(), r->height()));
                    w->show();
                },
                [](W *w, const R *r) {
                    if (!r->isChanged())
                        w->setValues(r->temperature(), r->setPoint(), r->heatLevel());
                })
                .withValue(ExtValueAction::SetPoint, &W::ValueChange)};
}
