// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QStringList>

// The demo's program settings ("config.xml", version 2): every key with a value that suits the
// demo (the simulator on 127.0.0.1:1502), scene names, alarm and parameter texts with ranges,
// sounds and the security keypad texts.
class DemoSettings
{
public:
    static QByteArray document();
    // Sound files the settings name, in the order of their numbers.
    static QStringList soundFiles();
    // Pictures offered as window backgrounds (subfolder "fone/"), the first one selected.
    static QStringList backgrounds();
};
