// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "elocale.h"

#include "corenames.h"
#include "ecoreapp.h"
#include "xmldocument.h"

#include <QDir>
#include <QLocale>

ELocale::ELocale(QObject *parent) : QObject(parent)
{
    load(QStringLiteral("en_US"));
}

bool ELocale::load(const QString &language)
{
    const bool system = language.isEmpty() || language == QLatin1String("system");
    const QString name = system ? QLocale::system().name() : language;
    XmlDocument doc;
    if (!doc.load(QLatin1String(CoreNames::kLanguageFolder) + name + QLatin1String(".xml")))
        return false;
    const XML::NodeElementPtr root = doc.root();
    if (!root || root->tagName() != QLatin1String("locale"))
        return false;
    for (const XML::NodeElementPtr &e : root->children()) {
        if (e->tagName() != QLatin1String("string"))
            continue;
        const QString text = e->attribute(QStringLiteral("text")).toString();
        if (!text.isEmpty())
            m_texts.insert(e->attribute(QStringLiteral("id")).toInt(), text);
    }
    m_current = language;
    emit changedLocale(m_current);
    return true;
}

QString ELocale::text(int id) const
{
    return m_texts.value(id);
}

QStringList ELocale::availableLanguages()
{
    QStringList names;
    const QStringList files = QDir(QLatin1String(CoreNames::kLanguageFolder))
                                  .entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    for (const QString &f : files)
        names.append(f.chopped(4));
    return names;
}

void AbstractLocalizable::retranslate()
{
    const QString current = ECoreApp::instance()->locale()->currentLanguage();
    if (current == m_appliedLanguage)
        return;
    m_appliedLanguage = current;
    applyTexts();
}

QString AbstractLocalizable::localText(int id)
{
    return ECoreApp::instance()->locale()->text(id);
}
