// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "archivewriter.h"

#include "controllertypes.h"
#include "csvformat.h"
#include "elocale.h"
#include "modbusconstants.h"

#include <QFileInfo>

using namespace CsvFormat;

namespace {

QString caption(const ELocale *locale, int id)
{
    return locale ? locale->text(id) : QString();
}

const ArchiveStruct *parameterById(const ReservVariables &record, int id)
{
    for (const ArchiveStruct &parameter : record.parameters) {
        if (parameter.id == id)
            return &parameter;
    }
    return nullptr;
}

} // namespace

QString ArchiveWriter::fileName(const QDate &day)
{
    return QLatin1String(kArchivePrefix) + day.toString(QLatin1String(kFileDate)) +
           QLatin1String(kSuffix);
}

void ArchiveWriter::write(const ReservVariables &record, const QString &configurationFolder,
                          const ELocale *locale, const QDateTime &now)
{
    const QString path = filePath(configurationFolder, kArchiveFolder, fileName(now.date()));
    if (path.isEmpty())
        return;

    QString text;
    if (!QFileInfo::exists(path)) {
        text += field(caption(locale, kTextProgramTime));
        text += field(caption(locale, kTextControllerTime));
        for (int id = 1; id <= ModbusLink::kParameterCount; ++id) {
            const ArchiveStruct *parameter = parameterById(record, id);
            text += field(parameter ? parameter->text
                                    : caption(locale, kTextData) + QLatin1Char(' ') +
                                          QString::number(id));
        }
        text += QLatin1String(kLineEnd);
    }

    text += field(dateTime(now));
    text += field(dateTime(record.controllerTime));
    for (int id = 1; id <= ModbusLink::kParameterCount; ++id) {
        if (const ArchiveStruct *parameter = parameterById(record, id)) {
            text += field(real(parameter->scaledValue()));
        } else {
            // A short block (nothing decoded yet) archives 0 rather than reading past the end.
            const int at = id - 1;
            const quint8 raw =
                at < record.parameterBytes.size() ? quint8(record.parameterBytes.at(at)) : 0;
            text += field(QString::number(raw));
        }
    }
    text += QLatin1String(kLineEnd);

    append(path, text);
}
