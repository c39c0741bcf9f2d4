// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "roomconstantsv1.h"

namespace {

struct FormKeyword
{
    RoomConstantsV1::FormNumbers form;
    const char *text;
};

// clang-format off
const FormKeyword kFormKeywords[] = {
    {RoomConstantsV1::FormInfo, "info"},
    {RoomConstantsV1::FormSecure, "secure"},
    {RoomConstantsV1::FormSettings, "settings"},
    {RoomConstantsV1::FormAlerts, "alerts"},
    {RoomConstantsV1::FormConnection, "connection"},
    {RoomConstantsV1::FormExit, "exit"},
    {RoomConstantsV1::FormScenes, "scenes"},
    {RoomConstantsV1::FormLight, "light"},
    {RoomConstantsV1::FormHeat, "heat"},
    {RoomConstantsV1::FormSubsystem, "subst"},
    {RoomConstantsV1::FormHistory, "history"},
};
// clang-format on

} // namespace

RoomConstantsV1::FormNumbers RoomConstantsV1::formNumber(const QString &text)
{
    for (const FormKeyword &keyword : kFormKeywords) {
        if (text == QLatin1String(keyword.text))
            return keyword.form;
    }
    return FormNone;
}

QString RoomConstantsV1::formText(int form)
{
    for (const FormKeyword &keyword : kFormKeywords) {
        if (form == keyword.form)
            return QLatin1String(keyword.text);
    }
    return QString();
}

QStringList RoomConstantsV1::formTexts()
{
    QStringList texts;
    for (const FormKeyword &keyword : kFormKeywords)
        texts << QLatin1String(keyword.text);
    return texts;
}
