// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "weatherdata.h"

#include "httpfetcher.h"
#include "mediaconstants.h"
#include "medialogging.h"
#include "xmldocument.h"

#include <QTimer>

namespace {

using namespace MediaConstants::Weather;

int intAttribute(const XML::NodeElementPtr &node, const char *name)
{
    bool ok = false;
    const int value = node->attribute(QLatin1String(name)).toString().trimmed().toInt(&ok);
    return ok ? value : 0;
}

// The first child of the node, if it has the tag; null otherwise.
XML::NodeElementPtr firstChild(const XML::NodeElementPtr &node, const char *tag)
{
    if (!node || node->children().isEmpty())
        return {};
    XML::NodeElementPtr child = node->children().first();
    return child && child->tagName() == QLatin1String(tag) ? child : XML::NodeElementPtr();
}

// Normalised: scheme added when missing, trailing slash ensured; empty stays empty.
QString normalisedPrefix(const QString &prefix)
{
    QString text = prefix.trimmed();
    if (!text.isEmpty() && !text.contains(QLatin1String("://")))
        text.prepend(QStringLiteral("http://"));
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('/')))
        text.append(QLatin1Char('/'));
    return text;
}

QString &defaultPrefix()
{
    static QString prefix = QString::fromLatin1(kDefaultPrefix);
    return prefix;
}

} // namespace

struct WeatherDataPrivate
{
    ForecastClass forecast;
    HttpFetcher *fetcher = nullptr; // child of the WeatherData; the one request in flight
    QByteArray body;
    QTimer timeout; // for the whole reply, from the request on
    QString prefix = defaultPrefix();
    qint64 maxBytes = kMaxReplyBytes;
};

WeatherData::WeatherData(QObject *parent)
    : QObject(parent), d(std::make_unique<WeatherDataPrivate>())
{
    qRegisterMetaType<ForecastClass::Forecast>("ForecastClass::Forecast");
    d->fetcher = new HttpFetcher(this);
    d->timeout.setSingleShot(true);
    d->timeout.setInterval(kRequestTimeoutMs);
    connect(d->fetcher, &HttpFetcher::bodyReceived, this,
            [this](const QByteArray &data) { d->body += data; });
    connect(d->fetcher, &HttpFetcher::finished, this,
            [this](HttpFetcher::Result result) { requestFinished(int(result)); });
    connect(&d->timeout, &QTimer::timeout, this, [this] {
        if (d->fetcher->isRunning()) {
            qCWarning(lcMedia) << "weather informer did not answer in time";
            d->fetcher->abort();
        }
    });
}

WeatherData::~WeatherData()
{
    d->timeout.stop();
    d->fetcher->disconnect(this);
}

void WeatherData::setTown(const QString &name, const QString &id)
{
    d->forecast.forecast().townName = name;
    d->forecast.forecast().townId = id;
}

ForecastClass::Forecast WeatherData::forecast() const
{
    return d->forecast.forecast();
}

void WeatherData::setInformerPrefix(const QString &prefix)
{
    d->prefix = normalisedPrefix(prefix);
}

void WeatherData::setDefaultInformerPrefix(const QString &prefix)
{
    const QString text = normalisedPrefix(prefix);
    defaultPrefix() = text.isEmpty() ? QString::fromLatin1(kDefaultPrefix) : text;
}

QString WeatherData::defaultInformerPrefix()
{
    return defaultPrefix();
}

QString WeatherData::informerPrefix() const
{
    return d->prefix;
}

QUrl WeatherData::requestUrl() const
{
    const QString id = d->forecast.forecast().townId;
    if (id.isEmpty() || d->prefix.isEmpty())
        return QUrl();
    // The id is one path segment: "/", "?", "#" and "%" in it are encoded, never interpreted.
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(id));
    QUrl url(d->prefix + encoded + QLatin1String(kFileSuffix), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return QUrl();
    return url;
}

void WeatherData::setTimeout(int ms)
{
    d->timeout.setInterval(qMax(1, ms));
}

void WeatherData::setMaxReplyBytes(qint64 bytes)
{
    d->maxBytes = qMax<qint64>(1, bytes);
}

bool WeatherData::isBusy() const
{
    return d->fetcher->isRunning();
}

void WeatherData::requestUpdate()
{
    if (d->fetcher->isRunning())
        return; // the answer to the request in flight serves this one too
    const QUrl url = requestUrl();
    if (!url.isValid())
        return;
    d->body.clear();
    // A Content-Length over the limit ends the request at the headers, a body that grows past
    // it as soon as it does.
    d->fetcher->setMaxBodyBytes(d->maxBytes);
    d->timeout.start();
    d->fetcher->get(url);
}

void WeatherData::requestFinished(int result)
{
    d->timeout.stop();
    const QByteArray data = d->body;
    d->body.clear();
    if (HttpFetcher::Result(result) != HttpFetcher::Result::Complete) {
        qCDebug(lcMedia) << "weather request failed:" << HttpFetcher::Result(result)
                         << d->fetcher->errorString();
        return;
    }
    if (d->fetcher->statusCode() != 200) {
        qCDebug(lcMedia) << "weather informer answered" << d->fetcher->statusCode();
        return;
    }
    if (parseReply(data))
        emit WeatherUpdated(d->forecast.forecast());
}

bool WeatherData::parseReply(const QByteArray &data)
{
    if (data.isEmpty())
        return false;
    XmlDocument doc;
    if (!doc.parse(QString::fromUtf8(data)))
        return false;
    const XML::NodeElementPtr root = doc.root();
    if (!root || root->tagName() != QLatin1String("MMWEATHER"))
        return false;
    const XML::NodeElementPtr report = firstChild(root, "REPORT");
    const XML::NodeElementPtr town = firstChild(report, "TOWN");
    const XML::NodeElementPtr node = firstChild(town, "FORECAST");
    if (!node || node->children().isEmpty())
        return false;

    ForecastClass::Forecast &f = d->forecast.forecast();
    f.day = intAttribute(node, "day");
    f.month = intAttribute(node, "month");
    f.year = intAttribute(node, "year");
    f.hour = intAttribute(node, "hour");
    f.tod = intAttribute(node, "tod");
    f.predict = intAttribute(node, "predict");
    f.weekday = intAttribute(node, "weekday");
    f.townName = node->attribute(QStringLiteral("sname")).toString();
    for (const XML::NodeElementPtr &child : node->children()) {
        const QString tag = child->tagName();
        if (tag == QLatin1String("PHENOMENA")) {
            f.cloudiness = intAttribute(child, "cloudiness");
            f.precipitation = intAttribute(child, "precipitation");
            f.rpower = intAttribute(child, "rpower");
            f.spower = intAttribute(child, "spower");
        } else if (tag == QLatin1String("PRESSURE")) {
            f.pressureMin = intAttribute(child, "min");
            f.pressureMax = intAttribute(child, "max");
        } else if (tag == QLatin1String("TEMPERATURE")) {
            f.temperatureMin = intAttribute(child, "min");
            f.temperatureMax = intAttribute(child, "max");
        } else if (tag == QLatin1String("WIND")) {
            f.windMin = intAttribute(child, "min");
            f.windMax = intAttribute(child, "max");
            f.windDirection = intAttribute(child, "direction");
        } else if (tag == QLatin1String("RELWET")) {
            f.relwetMin = intAttribute(child, "min");
            f.relwetMax = intAttribute(child, "max");
        } else if (tag == QLatin1String("HEAT")) {
            f.heatMin = intAttribute(child, "min");
            f.heatMax = intAttribute(child, "max");
        }
    }
    return true;
}
