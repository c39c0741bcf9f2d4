// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "homeconfig.h"

#include "homesimlog.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

// Attribute texts convert as the panel converts them: absent or not a number reads as 0.
int intAttribute(const QXmlStreamAttributes &a, const QString &name)
{
    return a.value(name).toString().trimmed().toInt();
}

double doubleAttribute(const QXmlStreamAttributes &a, const QString &name)
{
    return a.value(name).toString().trimmed().toDouble();
}

HomeConfig::Text textRecord(const QXmlStreamAttributes &a)
{
    HomeConfig::Text t;
    // Ids are kept in 8 bits by the panel, so 300 names message 44 there too.
    t.id = intAttribute(a, QStringLiteral("id")) & 0xFF;
    t.text = a.value(QStringLiteral("textB")).toString();
    t.minimum = doubleAttribute(a, QStringLiteral("minimum"));
    t.maximum = doubleAttribute(a, QStringLiteral("maximum"));
    return t;
}

void addUnique(QList<int> &list, int value)
{
    if (!list.contains(value))
        list.append(value);
}

bool readSettings(const QString &path, HomeConfig &config, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1").arg(path);
        return false;
    }
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("config")) {
        if (error)
            *error = QStringLiteral("%1: root element is not \"config\"").arg(path);
        return false;
    }
    bool explicitMessage = false;
    bool explicitSound = false;
    int alarmSound = 0;
    while (xml.readNextStartElement()) {
        const QStringRef tag = xml.name();
        const QXmlStreamAttributes a = xml.attributes();
        if (tag == QLatin1String("message")) {
            config.messages.append(textRecord(a));
        } else if (tag == QLatin1String("parameter")) {
            config.parameters.append(textRecord(a));
        } else if (tag == QLatin1String("secure")) {
            // Several entries for one code: the panel takes the first of its reversed list, which
            // is the last one of the file.
            config.secureTexts.insert(intAttribute(a, QStringLiteral("value")),
                                      a.value(QStringLiteral("textB")).toString());
        } else if (tag == QLatin1String("controller_codec")) {
            const QString name = a.value(QStringLiteral("value")).toString().trimmed();
            if (!name.isEmpty())
                config.controllerCodec = name.toLatin1();
        } else if (tag == QLatin1String("intrusion_message")) {
            config.intrusionMessage = intAttribute(a, QStringLiteral("value")) & 0xFF;
            explicitMessage = true;
        } else if (tag == QLatin1String("intrusion_sound")) {
            config.intrusionSound = intAttribute(a, QStringLiteral("value"));
            explicitSound = true;
        } else if (tag == QLatin1String("sound")) {
            if (!alarmSound && a.value(QStringLiteral("fileName"))
                                   .toString()
                                   .startsWith(QLatin1String("alarm"), Qt::CaseInsensitive))
                alarmSound = intAttribute(a, QStringLiteral("value"));
        } else if (tag == QLatin1String("offset")) {
            bool ok = false;
            const int offset = a.value(QStringLiteral("value")).toString().trimmed().toInt(&ok, 16);
            if (ok && offset >= 0 && offset < HomeSim::kRegisterCount) {
                config.hasOffset = true;
                config.registerOffset = offset;
            }
        }
        xml.skipCurrentElement();
    }
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, xml.errorString());
        return false;
    }
    auto byId = [](const HomeConfig::Text &l, const HomeConfig::Text &r) { return l.id < r.id; };
    std::stable_sort(config.messages.begin(), config.messages.end(), byId);
    std::stable_sort(config.parameters.begin(), config.parameters.end(), byId);
    if (!explicitMessage) {
        for (const HomeConfig::Text &m : qAsConst(config.messages)) {
            if (m.text.contains(QLatin1String("armed"), Qt::CaseInsensitive)) {
                config.intrusionMessage = m.id;
                break;
            }
        }
    }
    if (!explicitSound)
        config.intrusionSound = alarmSound;
    return true;
}

void readProject(const QString &path, HomeConfig &config)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcHomeSim) << "cannot open project file" << path;
        return;
    }
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("subsystems"))
        return; // not a project file
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringRef tag = xml.name();
        const QXmlStreamAttributes a = xml.attributes();
        if (tag == QLatin1String("lamp"))
            addUnique(config.lamps, intAttribute(a, QStringLiteral("lmpNumber")));
        else if (tag == QLatin1String("heat"))
            addUnique(config.thermostats, intAttribute(a, QStringLiteral("swcNumber")));
        else if (tag == QLatin1String("switch"))
            addUnique(config.switches, intAttribute(a, QStringLiteral("swcNumber")));
        else if (tag == QLatin1String("sensor"))
            addUnique(config.sensors, intAttribute(a, QStringLiteral("snrNumber")));
    }
    if (xml.hasError())
        qCWarning(lcHomeSim) << "project file" << path << "is malformed:" << xml.errorString();
}

} // namespace

bool HomeConfig::load(const QString &folder, QString *error)
{
    *this = HomeConfig();
    const QDir dir(folder);
    if (!readSettings(dir.filePath(QStringLiteral("config.xml")), *this, error))
        return false;
    const QStringList files =
        dir.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : files) {
        if (name == QLatin1String("config.xml") || name == QLatin1String("multi.xml"))
            continue;
        readProject(dir.filePath(name), *this);
    }
    std::sort(lamps.begin(), lamps.end());
    std::sort(thermostats.begin(), thermostats.end());
    std::sort(switches.begin(), switches.end());
    std::sort(sensors.begin(), sensors.end());
    return true;
}

QString HomeConfig::messageText(int id) const
{
    for (const Text &t : messages) {
        if (t.id == id)
            return t.text;
    }
    return QString();
}

QString HomeConfig::secureText(int state) const
{
    return secureTexts.value(state);
}
