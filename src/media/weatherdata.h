// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "forecastclass.h"

#include <QObject>
#include <QUrl>

#include <memory>

struct WeatherDataPrivate;

// Fetches one town's forecast from the weather informer (an XML file per town under the
// informer's "/xml/" folder), reads its first forecast into a ForecastClass::Forecast and emits
// it. At most one request is in flight; a reply that is not complete within the timeout (headers
// included), whose headers go past their limit or whose body is too large is dropped and its
// connection closed.
class WeatherData : public QObject
{
    Q_OBJECT
public:
    explicit WeatherData(QObject *parent = nullptr);
    ~WeatherData() override;

    void setTown(const QString &name, const QString &id);
    ForecastClass::Forecast forecast() const;

    // The informer's base URL ending in "/xml/" (the default names the local informer). A
    // prefix without scheme gets "http://"; a missing trailing slash is added.
    void setInformerPrefix(const QString &prefix);
    QString informerPrefix() const;
    // The prefix new clients start with: set once from the configuration's informer setting.
    static void setDefaultInformerPrefix(const QString &prefix);
    static QString defaultInformerPrefix();
    // The URL requestUpdate() asks for, or an invalid URL without town id or prefix.
    QUrl requestUrl() const;

    void setTimeout(int ms);
    void setMaxReplyBytes(qint64 bytes);
    bool isBusy() const;

    // Parses an informer reply into the record; false (record untouched) if it is not one.
    bool parseReply(const QByteArray &data);

public slots:
    void requestUpdate();

signals:
    void WeatherUpdated(ForecastClass::Forecast forecast);

private:
    void requestFinished(int result);

private:
    std::unique_ptr<WeatherDataPrivate> d;
};
