// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eappsettings.h"

#include "corelogging.h"
#include "loadreport.h"
#include "xmldocument.h"

#include <QFileInfo>
#include <QMultiHash>
#include <QSharedData>
#include <algorithm>

using XML::NodeElementPtr;

namespace {

struct KeyInfo
{
    const char *name;
    QVariant defaultValue;
};

// clang-format off
const KeyInfo &keyInfo(int key)
{
    static const KeyInfo table[EAppSettings::KeyCount] = {
        {"language", QStringLiteral("system")},
        {"timeautoclose", 0},
        {"fontname", QStringLiteral("Arial")},
        {"show_settings", true},
        {"fulllevelimage", false},
        {"archivedelay", 10000},
        {"writearchive", false},
        {"writealarm", false},
        {"savestate", false},
        {"wndview", QStringLiteral("normal")},
        {"foneimage", QString()},
        {"ipaddress", QStringLiteral("192.168.0.200")},
        {"ipaddress2", QStringLiteral("192.168.0.200")},
        {"ipport", 502},
        {"timeout", 500},
        {"offset", QStringLiteral("0")},
        {"reconnecttime", 60},
        {"closable", true},
        {"posx", 100},
        {"posy", 100},
        {"width", 800},
        {"height", 480},
        {"drawtype", QStringLiteral("auto")},
        {"zoomwidth", 1024},
        {"zoomheight", 768},
        {"isHideAlertColumns", true},
        {"shwingen", false},
        {"shwmedia", false},
        {"readfunctionmb", 3},
    };
    return table[key];
}
// clang-format on

// Scene name lists whose ids are generated from document order in files older than version 2.
const char *const kNumberedLists[] = {"glscene", "dopset", "medscn", "ingscn"};

quint8 id8(const NodeElementPtr &e)
{
    return static_cast<quint8>(e->attribute(QStringLiteral("id")).toInt());
}

} // namespace

class EAppSettings::Private : public QSharedData
{
public:
    QMultiHash<QString, NodeElementPtr> elements;
    bool loaded = false;
    quint64 revision = 0;

    // Elements of one tag in document order (QMultiHash hands back the last inserted first).
    QList<NodeElementPtr> inDocumentOrder(const QString &tag) const
    {
        QList<NodeElementPtr> list = elements.values(tag);
        std::reverse(list.begin(), list.end());
        return list;
    }

    QList<SceneName> sceneNames(const QString &tag, const QString &textAttribute) const
    {
        QList<SceneName> result;
        for (const NodeElementPtr &e : inDocumentOrder(tag))
            result.append({id8(e), e->attribute(textAttribute).toString()});
        std::stable_sort(result.begin(), result.end(),
                         [](const SceneName &a, const SceneName &b) { return a.id < b.id; });
        return result;
    }

    QList<MessageText> messageTexts(const QString &tag) const
    {
        QList<MessageText> result;
        for (const NodeElementPtr &e : inDocumentOrder(tag)) {
            result.append({id8(e), e->attribute(QStringLiteral("textB")).toString(),
                           e->attribute(QStringLiteral("minimum")).toDouble(),
                           e->attribute(QStringLiteral("maximum")).toDouble()});
        }
        std::stable_sort(result.begin(), result.end(),
                         [](const MessageText &a, const MessageText &b) { return a.id < b.id; });
        return result;
    }
};

EAppSettings::EAppSettings() : d(new Private) {}
EAppSettings::EAppSettings(const EAppSettings &other) = default;
EAppSettings &EAppSettings::operator=(const EAppSettings &other) = default;
EAppSettings::~EAppSettings() = default;

QString EAppSettings::keyName(int key)
{
    if (key < 0 || key >= KeyCount)
        return QString();
    return QString::fromLatin1(keyInfo(key).name);
}

QVariant EAppSettings::defaultValue(int key) const
{
    if (key < 0 || key >= KeyCount)
        return QVariant();
    return keyInfo(key).defaultValue;
}

bool EAppSettings::load(const QString &filePath, LoadReport *report)
{
    // Problems name the file as a person knows it; every file of a configuration sits in one
    // folder.
    const QString fileName = QFileInfo(filePath).fileName();
    XmlDocument doc;
    if (!doc.load(filePath)) {
        LoadReport::note(report, lcCore, fileName, doc.errorLine(),
                         QStringLiteral("settings not read, defaults used: ") + doc.errorString());
        return false;
    }
    return loadTree(doc, fileName, report);
}

bool EAppSettings::loadData(const QByteArray &data)
{
    XmlDocument doc;
    return doc.parse(data) && loadTree(doc, QStringLiteral("config.xml"), nullptr);
}

bool EAppSettings::loadTree(const XmlDocument &doc, const QString &fileName, LoadReport *report)
{
    const NodeElementPtr root = doc.root();
    if (!root || root->tagName() != QLatin1String("config")) {
        LoadReport::note(report, lcCore, fileName, root ? root->lineNumber() : 0,
                         QStringLiteral("settings not read, defaults used: the root element is "
                                        "<%1>, not <config>")
                             .arg(root ? root->tagName() : QString()));
        return false;
    }

    const int version = root->attribute(QStringLiteral("version")).toInt();
    if (version < 2) {
        // Older files number their scene lists implicitly by position.
        QHash<QString, int> counters;
        for (const NodeElementPtr &child : root->children()) {
            for (const char *tag : kNumberedLists) {
                if (child->tagName() == QLatin1String(tag)) {
                    const int id = ++counters[child->tagName()];
                    child->setAttribute(QStringLiteral("id"), QString::number(id));
                }
            }
        }
    }
    for (const NodeElementPtr &child : root->children())
        d->elements.insert(child->tagName(), child);
    d->loaded = true;
    return true;
}

bool EAppSettings::save(const QString &filePath) const
{
    if (!d->loaded)
        return false;
    return XmlDocument::save(filePath, tree());
}

QByteArray EAppSettings::document() const
{
    return d->loaded ? XmlDocument::toByteArray(tree()) : QByteArray();
}

XML::NodeElementPtr EAppSettings::tree() const
{
    auto root = XML::NodeElement::create(QStringLiteral("config"));
    root->setAttribute(QStringLiteral("version"), 2);
    // Several elements of one tag keep their document order (QMultiHash lists the latest first).
    QList<NodeElementPtr> all;
    const QStringList tags = d->elements.uniqueKeys();
    for (const QString &tag : tags)
        all += d->inDocumentOrder(tag);
    std::stable_sort(all.begin(), all.end(), [](const NodeElementPtr &a, const NodeElementPtr &b) {
        return QString::compare(a->tagName(), b->tagName(), Qt::CaseSensitive) < 0;
    });
    root->children() = all;
    return root;
}

bool EAppSettings::isLoaded() const
{
    return d->loaded;
}

QString EAppSettings::optionalValue(const QString &tag, const QString &fallback) const
{
    const auto it = d->elements.constFind(tag);
    if (it == d->elements.cend())
        return fallback;
    return it.value()->attribute(QStringLiteral("value"), fallback).toString();
}

void EAppSettings::setOptionalValue(const QString &tag, const QString &value)
{
    const auto it = d->elements.find(tag);
    if (it != d->elements.end()) {
        if (it.value()->attribute(QStringLiteral("value")).toString() != value) {
            it.value()->setAttribute(QStringLiteral("value"), value);
            ++d->revision;
        }
        return;
    }
    auto element = XML::NodeElement::create(tag);
    element->setAttribute(QStringLiteral("value"), value);
    d->elements.insert(tag, element);
    ++d->revision;
}

bool EAppSettings::setGlobalSceneName(int id, const QString &text)
{
    for (const NodeElementPtr &e : d->inDocumentOrder(QStringLiteral("glscene"))) {
        if (e->attribute(QStringLiteral("id")).toInt() == id) {
            if (e->attribute(QStringLiteral("textB")).toString() != text) {
                e->setAttribute(QStringLiteral("textB"), text);
                ++d->revision;
            }
            return true;
        }
    }
    return false;
}

QVariant EAppSettings::value(int key) const
{
    const QString name = keyName(key);
    if (name.isEmpty())
        return QVariant();
    const auto it = d->elements.constFind(name);
    if (it == d->elements.cend())
        return defaultValue(key);
    return it.value()->attribute(QStringLiteral("value"), defaultValue(key));
}

void EAppSettings::setValue(int key, const QVariant &value)
{
    const QString name = keyName(key);
    if (name.isEmpty())
        return;
    const auto it = d->elements.find(name);
    if (it != d->elements.end()) {
        if (it.value()->attribute(QStringLiteral("value")).toString() != value.toString())
            ++d->revision;
        it.value()->setAttribute(QStringLiteral("value"), value);
        return;
    }
    auto element = XML::NodeElement::create(name);
    element->setAttribute(QStringLiteral("value"), value);
    d->elements.insert(name, element);
    ++d->revision;
}

quint64 EAppSettings::revision() const
{
    return d->revision;
}

int EAppSettings::registerOffset() const
{
    bool ok = false;
    const int offset = value(Offset).toString().trimmed().toInt(&ok, 16);
    return ok ? offset : 0;
}

QList<EAppSettings::SceneName> EAppSettings::globalScenes() const
{
    return d->sceneNames(QStringLiteral("glscene"), QStringLiteral("textB"));
}

QList<EAppSettings::SceneName> EAppSettings::additionalSets() const
{
    return d->sceneNames(QStringLiteral("dopset"), QStringLiteral("value"));
}

QList<EAppSettings::SceneName> EAppSettings::mediaScenes() const
{
    return d->sceneNames(QStringLiteral("medscn"), QStringLiteral("value"));
}

QList<EAppSettings::SceneName> EAppSettings::engineeringScenes() const
{
    return d->sceneNames(QStringLiteral("ingscn"), QStringLiteral("value"));
}

QList<EAppSettings::MessageText> EAppSettings::messages() const
{
    return d->messageTexts(QStringLiteral("message"));
}

QList<EAppSettings::MessageText> EAppSettings::parameters() const
{
    return d->messageTexts(QStringLiteral("parameter"));
}

QList<EAppSettings::SoundEntry> EAppSettings::sounds() const
{
    QList<SoundEntry> result;
    for (const NodeElementPtr &e : d->elements.values(QStringLiteral("sound")))
        result.append({e->attribute(QStringLiteral("fileName")).toString(),
                       e->attribute(QStringLiteral("value")).toInt()});
    return result;
}

QList<EAppSettings::SecureText> EAppSettings::secureTexts() const
{
    QList<SecureText> result;
    for (const NodeElementPtr &e : d->elements.values(QStringLiteral("secure")))
        result.append({e->attribute(QStringLiteral("value")).toInt(),
                       e->attribute(QStringLiteral("textB")).toString()});
    return result;
}
