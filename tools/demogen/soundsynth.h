// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QVector>

// Synthesises the demo's alarm sounds as 16-bit mono PCM WAVE files. Pure arithmetic, no noise
// source, so every run writes the same bytes.
class SoundSynth
{
public:
    static constexpr int kSampleRate = 16000;

    static QByteArray alarm(); // two-tone siren
    static QByteArray chime(); // two-note door chime
    static QByteArray leak();  // falling water-drop blips
    static QByteArray smoke(); // fast high beeps

    static QByteArray wave(const QVector<qint16> &samples, int sampleRate = kSampleRate);
};
