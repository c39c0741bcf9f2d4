// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "xmlnode.h"

#include <QList>
#include <QSharedDataPointer>
#include <QString>
#include <QVariant>

class LoadReport;
class XmlDocument;

// Program settings of one configuration ("config.xml"). The elements of the file are kept as read
// and their "value" attributes are looked up on demand, so unknown elements and attributes survive
// a load and save untouched.
class EAppSettings
{
public:
    // In the order of the settings table; values are indexes into it.
    enum Key {
        Language,
        TimeAutoClose,
        FontName,
        ShowSettings,
        FullLevelImage,
        ArchiveDelay,
        WriteArchive,
        WriteAlarm,
        SaveState,
        WndView,
        FoneImage,
        IpAddress,
        IpAddress2,
        IpPort,
        Timeout,
        Offset,
        ReconnectTime,
        Closable,
        PosX,
        PosY,
        Width,
        Height,
        DrawType,
        ZoomWidth,
        ZoomHeight,
        IsHideAlertColumns,
        ShwIngen,
        ShwMedia,
        ReadFunctionMb,
        KeyCount
    };

    struct SceneName
    {
        quint8 id = 0;
        QString text;
    };
    struct MessageText
    {
        quint8 id = 0;
        QString text;
        double minimum = 0;
        double maximum = 0;
    };
    struct SoundEntry
    {
        QString fileName;
        int number = 0;
    };
    struct SecureText
    {
        int number = 0;
        QString text;
    };

    EAppSettings();
    EAppSettings(const EAppSettings &other);
    EAppSettings &operator=(const EAppSettings &other);
    ~EAppSettings();

    // When a report is given, a file that cannot be used is described there with its line.
    bool load(const QString &filePath, LoadReport *report = nullptr);
    bool save(const QString &filePath) const;
    // The same from and to memory: tools that generate a configuration write it in the layout
    // the program itself saves, so that a save without a change leaves the file as it was.
    bool loadData(const QByteArray &data);
    QByteArray document() const;
    bool isLoaded() const;
    // Grows with every change made through the setters, so that a writer can tell whether the
    // settings changed since it last wrote them.
    quint64 revision() const;

    static QString keyName(int key);
    QVariant defaultValue(int key) const;
    QVariant value(int key) const;
    void setValue(int key, const QVariant &value);
    // The "offset" key is hexadecimal text: "1F4" is register 500.
    int registerOffset() const;
    // The "value" of a setting outside the table above (an installation's own addition such as
    // "weather_url"); `fallback` when the file has no such element.
    QString optionalValue(const QString &tag, const QString &fallback = QString()) const;
    // Sets such a setting, adding its element when the file has none.
    void setOptionalValue(const QString &tag, const QString &value);
    // Renames global scene `id` ("glscene"); false when the file has no such scene.
    bool setGlobalSceneName(int id, const QString &text);

    QList<SceneName> globalScenes() const;      // "glscene", ascending id
    QList<SceneName> additionalSets() const;    // "dopset", ascending id
    QList<SceneName> mediaScenes() const;       // "medscn", ascending id
    QList<SceneName> engineeringScenes() const; // "ingscn", ascending id
    QList<MessageText> messages() const;        // "message", ascending id
    QList<MessageText> parameters() const;      // "parameter", ascending id
    QList<SoundEntry> sounds() const;           // "sound", reverse document order
    QList<SecureText> secureTexts() const;      // "secure", reverse document order

private:
    bool loadTree(const XmlDocument &doc, const QString &fileName, LoadReport *report);
    XML::NodeElementPtr tree() const;

    class Private;
    QSharedDataPointer<Private> d;
};
