// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "alarmlogwriter.h"

#include "controllertypes.h"
#include "csvformat.h"
#include "elocale.h"

#include <QFileInfo>
#include <QList>

using namespace CsvFormat;

namespace {

// Fixed words of the state columns; installers' spreadsheets filter on them, so they are not
// translated with the captions.
QString yesNo(bool on)
{
    return on ? QStringLiteral("Да") : QStringLiteral("Нет");
}

QString kindWord(bool alarm)
{
    return alarm ? QStringLiteral("авария") : QStringLiteral("сообшение");
}

QString caption(const ELocale *locale, int id)
{
    return locale ? locale->text(id) : QString();
}

QString row(const AlertStruct &message, const QDateTime &now)
{
    const quint8 state = message.stateByte;
    QString text;
    text += field(QString::number(message.id));
    text += field(dateTime(now));
    // The value is an unsigned count of seconds; a negative qint32 would land before 1970.
    text += field(dateTime(QDateTime::fromSecsSinceEpoch(qint64(quint32(message.value)))));
    text += field(message.text);
    text += field(real(message.scaledValue()));
    text += field(yesNo(state & 0x04));
    text += field(kindWord(state & 0x08));
    text += field(yesNo(state & 0x10));
    text += field(yesNo(state & 0x20));
    text += field(yesNo(state & 0x80));
    text += QLatin1String(kLineEnd);
    return text;
}

} // namespace

struct AlarmLogWriter::AlarmLogWriterPrivate
{
    bool headerPending = true;
    QList<AlertStruct> previous;
};

AlarmLogWriter::AlarmLogWriter() : d(std::make_unique<AlarmLogWriterPrivate>()) {}

AlarmLogWriter::~AlarmLogWriter() = default;

QString AlarmLogWriter::fileName(const QDate &day)
{
    return QLatin1String(kAlarmPrefix) + day.toString(QLatin1String(kFileDate)) +
           QLatin1String(kSuffix);
}

void AlarmLogWriter::write(const ReservVariables &record, const QString &configurationFolder,
                           const ELocale *locale, const QDateTime &now)
{
    // A new or changed message list is taken as the starting point: no rows for it.
    if (d->previous.size() != record.messages.size())
        d->previous = record.messages;

    const QString path = filePath(configurationFolder, kAlarmFolder, fileName(now.date()));
    if (path.isEmpty())
        return;

    QString text;
    if (!QFileInfo::exists(path) || d->headerPending) {
        d->headerPending = false;
        for (int id :
             {kTextNumber, kTextProgramTime, kTextAlertTime, kTextDescription, kTextParameter,
              kTextActive, kTextType, kTextSms, kTextSiren, kTextNotified}) {
            text += field(caption(locale, id));
        }
        text += QLatin1String(kLineEnd);
    }

    for (const AlertStruct &message : record.messages) {
        for (AlertStruct &previous : d->previous) {
            if (previous.id != message.id)
                continue;
            if (previous.stateByte != message.stateByte || previous.value != message.value) {
                text += row(message, now);
                previous = message;
            }
            break;
        }
    }

    if (!text.isEmpty())
        append(path, text);
}
