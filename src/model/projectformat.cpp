// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "projectformat.h"

#include "controlkinds.h"
#include "eappsettings.h"

#include <QStringList>

namespace {

QString typeName(const ControlAttribute &a)
{
    switch (a.type) {
    case ControlAttribute::String:
        return a.isImage() ? QStringLiteral("picture") : QStringLiteral("text");
    case ControlAttribute::Integer:
        return QStringLiteral("integer");
    case ControlAttribute::Real:
        return QStringLiteral("number");
    case ControlAttribute::Boolean:
        return QStringLiteral("true/false");
    case ControlAttribute::Keyword:
        return QStringLiteral("keyword");
    }
    return QString();
}

// A value as the file holds it, in code style; "(empty)" for nothing.
QString shown(const QVariant &value)
{
    QString text;
    if (value.type() == QVariant::Bool)
        text = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    else if (value.type() == QVariant::Double)
        text = QString::number(value.toDouble(), 'g', 15);
    else
        text = value.toString();
    if (text.isEmpty())
        return QStringLiteral("(empty)");
    // A table cell cannot hold a bare "|".
    return QLatin1Char('`') + text.replace(QLatin1Char('|'), QStringLiteral("\\|")) +
           QLatin1Char('`');
}

QString range(const ControlAttribute &a)
{
    if (!a.choices.isEmpty()) {
        QStringList list;
        for (const QString &c : a.choices)
            list << QLatin1Char('`') + c + QLatin1Char('`');
        return list.join(QStringLiteral(", "));
    }
    if (!a.minimum.isValid() && !a.maximum.isValid())
        return QString();
    const QString low = a.minimum.isValid() ? a.minimum.toString() : QStringLiteral("…");
    const QString high = a.maximum.isValid() ? a.maximum.toString() : QStringLiteral("…");
    return low + QStringLiteral(" to ") + high;
}

QString notes(const ControlAttribute &a)
{
    QStringList list;
    if (!a.isWritten())
        list << QStringLiteral("read, never written");
    else if (!a.isRead())
        list << QStringLiteral("written, not read");
    if (a.flags & ControlAttribute::WrittenWhenSet)
        list << QStringLiteral("written only when set");
    if (a.emptyValue.isValid())
        list << QStringLiteral("empty reads as ") + shown(a.emptyValue);
    return list.join(QStringLiteral("; "));
}

} // namespace

namespace ProjectFormat {

QString controlTables()
{
    QString out;
    for (const ControlKind *k : ControlKinds::all()) {
        if (k->tag.isEmpty())
            continue;
        out += QStringLiteral("#### `<%1>` (kind %2)\n\n").arg(k->tag).arg(k->kind);
        if (k->element == ControlKind::Element::Scene) {
            out += QStringLiteral("A scene caption of the page (`textB`), not a control.\n\n");
            continue;
        }
        if (k->element == ControlKind::Element::Recognised) {
            out += QStringLiteral("Known to the reader and skipped; never written.\n\n");
            continue;
        }
        if (k->controllerBound) {
            out += QStringLiteral("Bound to controller memory: %1 byte%2 of its own")
                       .arg(k->dataLength)
                       .arg(k->dataLength == 1 ? QString() : QStringLiteral("s"));
            out += k->bits ? QStringLiteral(", one bit of a byte that several may share.\n\n")
                           : QStringLiteral(".\n\n");
        }
        out += QStringLiteral("| Attribute | Type | Default | Range or choices | Notes |\n");
        out += QStringLiteral("|---|---|---|---|---|\n");
        for (const ControlAttribute &a : k->attributes) {
            out += QStringLiteral("| `%1` | %2 | %3 | %4 | %5 |\n")
                       .arg(a.name, typeName(a), shown(a.defaultValue), range(a), notes(a));
        }
        out += QLatin1Char('\n');
    }
    return out;
}

QString settingsTable()
{
    EAppSettings settings;
    QString out = QStringLiteral("| Key | Default |\n|---|---|\n");
    for (int key = 0; key < EAppSettings::KeyCount; ++key) {
        out += QStringLiteral("| `%1` | %2 |\n")
                   .arg(EAppSettings::keyName(key), shown(settings.defaultValue(key)));
    }
    return out;
}

QString beginMarker(const QString &part)
{
    return QStringLiteral("<!-- generated: %1 (verandix-check --describe-format) -->").arg(part);
}

QString endMarker(const QString &part)
{
    return QStringLiteral("<!-- end of generated: %1 -->").arg(part);
}

QString generatedPart(const QString &document, const QString &part)
{
    const QString begin = beginMarker(part);
    const int from = document.indexOf(begin);
    const int to = document.indexOf(endMarker(part));
    if (from < 0 || to < from)
        return QString();
    // The text between the two marker lines, without the line ends next to them.
    return document.mid(from + begin.size(), to - from - begin.size()).trimmed() +
           QLatin1Char('\n');
}

} // namespace ProjectFormat
