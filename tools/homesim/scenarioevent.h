// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>

// One line of a scenario file or of the control channel: an optional time and an event.
//
//   [TIME] switch N | motion N | intrusion
//          alarm on ID [DATA [SOUND]] | alarm off ID | message on ID [DATA [SOUND]] | message off
//          ID set byte ADDR VALUE | set word N VALUE | set param ID VALUE | set param ID auto
//          disconnect SECONDS | silence SECONDS | repeat | quit
//
// TIME is seconds (decimals allowed) from the start of the scenario, or "+S" for S seconds after
// the previous line; on the control channel it is a delay from now. Numbers may be written in hex
// with "0x". '#' starts a comment; empty and comment lines carry no event.
struct ScenarioEvent
{
    enum class Type {
        None,
        Switch,
        Motion,
        Intrusion,
        AlarmOn,
        AlarmOff,
        MessageOn,
        MessageOff,
        SetByte,
        SetWord,
        SetParameter,
        ParameterAuto,
        Disconnect,
        Silence,
        Repeat,
        Quit
    };
    enum class Timing { Immediate, Absolute, Relative };

    Type type = Type::None;
    Timing timing = Timing::Immediate;
    qint64 timeMs = 0;
    int number = 0;      // switch, sensor, message id, byte address, word, parameter id
    int value = 0;       // data byte, byte or word value, duration in ms
    int sound = 0;       // sound number to request with an alarm, 0 = none
    double physical = 0; // parameter value in its unit

    // Parses one line. Returns false with a reason in *error for malformed lines; an empty or
    // comment line parses to Type::None.
    static bool parse(const QString &line, ScenarioEvent *event, QString *error);
    QString describe() const;
};
