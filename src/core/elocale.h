// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QMap>
#include <QObject>

// The language table: every text a screen shows, by numeric id. Tables are loaded on top of each
// other, so an id missing from a translation keeps the English text loaded at start-up.
class ELocale : public QObject
{
    Q_OBJECT
public:
    explicit ELocale(QObject *parent = nullptr);

    // "system" or an empty name loads the table of the system locale.
    bool load(const QString &language);
    QString text(int id) const;
    QString currentLanguage() const { return m_current; }
    // Languages that have a table in the resources, e.g. "en_US", "ru_RU".
    static QStringList availableLanguages();

signals:
    void changedLocale(const QString &language);

private:
    QMap<int, QString> m_texts;
    QString m_current;
};

// Mixed into every form and widget that shows texts: retranslate() sets the texts again only when
// the language changed since the last time, so forms may call it on every show.
class AbstractLocalizable
{
public:
    virtual ~AbstractLocalizable() = default;
    void retranslate();
    QString appliedLanguage() const { return m_appliedLanguage; }

protected:
    // Sets every text of the object from the language table.
    virtual void applyTexts() = 0;
    static QString localText(int id);

private:
    QString m_appliedLanguage;
};
