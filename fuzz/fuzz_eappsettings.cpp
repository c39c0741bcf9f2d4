// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The settings reader under any config.xml: loading and every lookup must never crash, and a
// loaded file saved and loaded again must give the same settings.
#include "eappsettings.h"
#include "fuzzsupport.h"

#include <QFile>

namespace {

bool operator==(const EAppSettings::SceneName &a, const EAppSettings::SceneName &b)
{
    return a.id == b.id && a.text == b.text;
}

bool operator==(const EAppSettings::MessageText &a, const EAppSettings::MessageText &b)
{
    // Limits compare as text: a NaN read from a file must still equal itself after a save.
    return a.id == b.id && a.text == b.text &&
           QString::number(a.minimum) == QString::number(b.minimum) &&
           QString::number(a.maximum) == QString::number(b.maximum);
}

bool operator==(const EAppSettings::SoundEntry &a, const EAppSettings::SoundEntry &b)
{
    return a.fileName == b.fileName && a.number == b.number;
}

bool operator==(const EAppSettings::SecureText &a, const EAppSettings::SecureText &b)
{
    return a.number == b.number && a.text == b.text;
}

// Everything the program asks of its settings, as one comparable list of texts.
QStringList lookups(const EAppSettings &settings)
{
    QStringList out;
    for (int key = 0; key < EAppSettings::KeyCount; ++key)
        out << settings.value(key).toString();
    out << QString::number(settings.registerOffset());
    return out;
}

template<typename T> bool sameList(const QList<T> &a, const QList<T> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (!(a.at(i) == b.at(i)))
            return false;
    }
    return true;
}

bool sameSettings(const EAppSettings &a, const EAppSettings &b)
{
    return lookups(a) == lookups(b) && sameList(a.globalScenes(), b.globalScenes()) &&
           sameList(a.additionalSets(), b.additionalSets()) &&
           sameList(a.mediaScenes(), b.mediaScenes()) &&
           sameList(a.engineeringScenes(), b.engineeringScenes()) &&
           sameList(a.messages(), b.messages()) && sameList(a.parameters(), b.parameters()) &&
           sameList(a.sounds(), b.sounds()) && sameList(a.secureTexts(), b.secureTexts());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path =
        FuzzSupport::writeScratchFile(QStringLiteral("config.xml"), FuzzSupport::bytes(data, size));
    EAppSettings settings;
    if (!settings.load(path))
        return 0;
    // A copy must answer like the original (the settings are shared until written).
    const EAppSettings copy = settings;
    if (!sameSettings(settings, copy))
        FuzzSupport::fail("a copy of the settings answers differently");

    const QString savedPath = FuzzSupport::writeScratchFile(QStringLiteral("saved.xml"), {});
    if (!settings.save(savedPath))
        FuzzSupport::fail("loaded settings could not be saved");
    EAppSettings reloaded;
    if (!reloaded.load(savedPath))
        FuzzSupport::fail("saved settings do not load");
    if (!sameSettings(settings, reloaded))
        FuzzSupport::fail("settings changed when saved and loaded again");
    return 0;
}
