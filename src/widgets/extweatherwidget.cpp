// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extweatherwidget.h"

#include "egridlayout.h"
#include "eiconwidget.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "extwidgetkinds.h"
#include "weathercontrolv1.h"
#include "weatherdata.h"

#include <QPainter>
#include <QTime>
#include <QTimer>

namespace {

constexpr int kRefreshMs = 15 * 60 * 1000;
constexpr int kTextUpdating = 61180;
constexpr int kTextWind = 61181;
constexpr int kTextMetresPerSecond = 61182;
constexpr int kTextRelwet = 61183;
constexpr int kTextPressure = 61184;
constexpr int kTextMmHg = 61185;
constexpr int kTextFeelLike = 61186;
constexpr int kTextDegrees = 61187;
constexpr int kTextUpdatedIn = 61188;

QFont arial(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

QString resource(const QString &name)
{
    return QStringLiteral(":/resources/") + name;
}

} // namespace

struct ExtWeatherWidgetPrivate
{
    WeatherData *weather = nullptr;
    QTimer refresh;
    ELabelWidget *city = nullptr;
    ELabelWidget *temperature = nullptr;
    EImageWidget *icon = nullptr;
    ELabelWidget *details = nullptr;
    ELabelWidget *updated = nullptr;
    EIconWidget *refreshButton = nullptr;
    QString cityName;
    QString cityId;
    QString iconName = QStringLiteral("na.png");
    bool hasForecast = false;
    ForecastClass::Forecast forecast;
    QTime updatedAt;
    bool updating = false;
    bool onScreen = false;
};

ExtWeatherWidget::ExtWeatherWidget(WeatherControlV1 *record, QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<ExtWeatherWidgetPrivate>())
{
    d->weather = new WeatherData(this);
    d->refresh.setInterval(kRefreshMs);
    connect(&d->refresh, &QTimer::timeout, this, &ExtWeatherWidget::updateClick);
    connect(d->weather, &WeatherData::WeatherUpdated, this, &ExtWeatherWidget::WeatherReady);
    connect(this, &EBaseWidget::clicked, this, &ExtWeatherWidget::updateClick);

    auto *grid = new EGridLayout;
    grid->setMargins(3, 3, 3, 3);
    grid->setRowFixedHeight(0, 20);
    grid->setRowStretch(1, 1);
    grid->setRowFixedHeight(2, 60);
    grid->setRowFixedHeight(3, 16);
    grid->setColumnFixedWidth(0, 130);
    grid->setColumnStretch(1, 1);
    grid->setColumnFixedWidth(2, 16);

    d->city = new ELabelWidget;
    d->city->setFont(arial(14));
    d->temperature = new ELabelWidget(QStringLiteral("NA°C"));
    d->temperature->setFont(arial(48));
    d->icon = new EImageWidget;
    d->icon->setFillMode(EImageWidget::PreserveAspectFit);
    d->icon->setSource(resource(d->iconName));
    d->details = new ELabelWidget;
    d->details->setFont(arial(11));
    d->details->setWordWrap(true);
    d->details->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    d->updated = new ELabelWidget(QStringLiteral("undefined"));
    d->updated->setFont(arial(11));
    d->refreshButton = new EIconWidget;
    d->refreshButton->setImageSource(resource(QStringLiteral("circle_double.png")));
    connect(d->refreshButton, &EBaseWidget::clicked, this, &ExtWeatherWidget::updateClick);
    for (ELabelWidget *label : {d->city, d->temperature, d->details, d->updated})
        label->setColortext(Qt::white);
    d->city->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    d->updated->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    grid->addWidget(d->city, 0, 0, 1, 3);
    grid->addWidget(d->temperature, 1, 0);
    grid->addWidget(d->icon, 1, 1, 1, 2);
    grid->addWidget(d->details, 2, 0, 1, 3);
    grid->addWidget(d->updated, 3, 0, 1, 2);
    grid->addWidget(d->refreshButton, 3, 2);
    setLayout(grid);

    applyRecord(record);
    updateOnScreen();
}

ExtWeatherWidget::~ExtWeatherWidget()
{
    d->refresh.stop();
    d->weather->disconnect(this);
}

void ExtWeatherWidget::applyRecord(WeatherControlV1 *record)
{
    if (!record)
        return;
    d->cityName = record->textB();
    d->cityId = record->cityId();
    d->city->setLabelT(d->cityName);
    d->weather->setTown(d->cityName, d->cityId);
}

WeatherData *ExtWeatherWidget::weatherData() const
{
    return d->weather;
}

QString ExtWeatherWidget::conditionIcon(int tod, int cloudiness, int precipitation)
{
    const bool day = tod == 1 || tod == 2;
    const bool clear = cloudiness <= 1;
    QString name;
    switch (precipitation) {
    case 4:
    case 5:
        name = clear ? (day ? "sun_rain" : "moon_rain") : "raind";
        break;
    case 6:
    case 7:
        name = clear ? (day ? "sun_snow" : "moon_snow") : "snow";
        break;
    case 8:
        name = clear ? (day ? "sun_thunder" : "moon_thunder") : "thunder";
        break;
    case 10:
        name = clear ? (day ? "sun" : "moon") : (day ? "sun_clouds" : "moon_cloud");
        break;
    default:
        name = QStringLiteral("na");
        break;
    }
    return name + QStringLiteral(".png");
}

QString ExtWeatherWidget::cityText() const
{
    return d->city->labelT();
}

QString ExtWeatherWidget::temperatureText() const
{
    return d->temperature->labelT();
}

QString ExtWeatherWidget::detailText() const
{
    return d->details->labelT();
}

QString ExtWeatherWidget::updateText() const
{
    return d->updated->labelT();
}

QString ExtWeatherWidget::iconName() const
{
    return d->iconName;
}

bool ExtWeatherWidget::isRefreshing() const
{
    return d->refresh.isActive();
}

EIconWidget *ExtWeatherWidget::refreshButton() const
{
    return d->refreshButton;
}

void ExtWeatherWidget::updateClick()
{
    d->updating = true;
    d->updated->setLabelT(localText(kTextUpdating));
    d->weather->setTown(d->cityName, d->cityId);
    d->weather->requestUpdate();
}

void ExtWeatherWidget::WeatherReady(ForecastClass::Forecast forecast)
{
    d->forecast = forecast;
    d->hasForecast = true;
    d->updating = false;
    d->updatedAt = QTime::currentTime();
    d->iconName = conditionIcon(forecast.tod, forecast.cloudiness, forecast.precipitation);
    d->icon->setSource(resource(d->iconName));
    applyTexts();
}

void ExtWeatherWidget::applyTexts()
{
    if (d->updating)
        d->updated->setLabelT(localText(kTextUpdating));
    if (!d->hasForecast)
        return;
    const ForecastClass::Forecast &f = d->forecast;
    auto mean = [](int max, int min) { return QString::number(ForecastClass::mean(max, min)); };
    d->temperature->setLabelT(mean(f.temperatureMax, f.temperatureMin) + localText(kTextDegrees));
    const QString eol = QStringLiteral("\r\n");
    d->details->setLabelT(
        localText(kTextWind) + mean(f.windMax, f.windMin) + localText(kTextMetresPerSecond) + eol +
        localText(kTextRelwet) + mean(f.relwetMax, f.relwetMin) + QStringLiteral("%") + eol +
        localText(kTextPressure) + mean(f.pressureMax, f.pressureMin) + localText(kTextMmHg) + eol +
        localText(kTextFeelLike) + mean(f.heatMax, f.heatMin) + localText(kTextDegrees));
    if (!d->updating)
        d->updated->setLabelT(localText(kTextUpdatedIn) +
                              d->updatedAt.toString(QStringLiteral("hh:mm")));
}

void ExtWeatherWidget::paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) {}

QVariant ExtWeatherWidget::itemChange(GraphicsItemChange change, const QVariant &value)
{
    const QVariant result = EBaseWidget::itemChange(change, value);
    if (change == ItemVisibleHasChanged || change == ItemSceneHasChanged)
        updateOnScreen();
    return result;
}

void ExtWeatherWidget::updateOnScreen()
{
    const bool onScreen = scene() && isVisible();
    if (onScreen == d->onScreen)
        return;
    d->onScreen = onScreen;
    if (onScreen) {
        retranslate();
        updateClick();
        d->refresh.start();
    } else {
        d->refresh.stop();
    }
}

QVector<ExtWidgetKind> ExtWeatherWidget::widgetKinds()
{
    using W = ExtWeatherWidget;
    using R = WeatherControlV1;
    return {ExtWidgetKind::of<W, R>(
        ControlConstants::KindWeather, ExtClickAction::None,
        [](R *r, QGraphicsItem *plan) { return new W(r, plan); },
        [](W *w, R *r) { w->applyRecord(r); })};
}
