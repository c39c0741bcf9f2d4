// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QList>
#include <QMap>
#include <QString>

// What the simulator takes from a configuration folder: the message, parameter and security texts
// of config.xml and the lamp, thermostat, switch and sensor numbers of the project files.
class HomeConfig
{
public:
    struct Text
    {
        int id = 0;
        QString text;
        double minimum = 0;
        double maximum = 0;
    };

    // Reads config.xml (required) and every other *.xml of the folder whose root is "subsystems".
    // Returns false with a reason in *error when config.xml is missing or malformed; unreadable
    // project files are skipped with a warning.
    bool load(const QString &folder, QString *error = nullptr);

    QList<Text> messages;
    QList<Text> parameters;
    QMap<int, QString> secureTexts;
    QList<int> lamps;
    QList<int> thermostats;
    QList<int> switches;
    QList<int> sensors;
    bool hasOffset = false;
    int registerOffset = 0;
    // The encoding of the texts in controller memory (config.xml `controller_codec`), the same
    // single-byte one the panel uses.
    QByteArray controllerCodec = "Windows-1251";
    // The message the controller raises as an alarm, and the sound it asks for, when an intrusion
    // runs out its entry delay while armed (0: none). From "intrusion_message" and
    // "intrusion_sound" of config.xml; without them, the first message whose text speaks of
    // "armed" and the sound whose file name begins with "alarm".
    int intrusionMessage = 0;
    int intrusionSound = 0;

    QString messageText(int id) const;
    QString secureText(int state) const;
};
