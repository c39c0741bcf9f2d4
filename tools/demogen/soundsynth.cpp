// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "soundsynth.h"

#include <QtEndian>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 2.0 * M_PI;

qint16 toSample(double v)
{
    return qint16(std::lround(std::clamp(v, -1.0, 1.0) * 32000.0));
}

// Short linear ramps at both ends of a tone: an abrupt start or stop clicks on most speakers.
double ramp(double t, double length, double edge = 0.008)
{
    if (t < edge)
        return t / edge;
    if (t > length - edge)
        return std::max(0.0, (length - t) / edge);
    return 1.0;
}

void appendLE32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void appendLE16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

} // namespace

QByteArray SoundSynth::wave(const QVector<qint16> &samples, int sampleRate)
{
    const quint32 dataBytes = quint32(samples.size()) * 2;
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    out.append("RIFF", 4);
    appendLE32(out, 36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    appendLE32(out, 16); // PCM format chunk size
    appendLE16(out, 1);  // PCM
    appendLE16(out, 1);  // mono
    appendLE32(out, quint32(sampleRate));
    appendLE32(out, quint32(sampleRate) * 2);
    appendLE16(out, 2);  // block align
    appendLE16(out, 16); // bits per sample
    out.append("data", 4);
    appendLE32(out, dataBytes);
    for (qint16 s : samples)
        appendLE16(out, quint16(s));
    return out;
}

QByteArray SoundSynth::alarm()
{
    // Alternating 660 / 880 Hz every 250 ms with a few odd harmonics for bite.
    const double length = 2.0;
    const int n = int(length * kSampleRate);
    QVector<qint16> s(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        const double f = (int(t / 0.25) % 2) ? 880.0 : 660.0;
        phase += kTwoPi * f / kSampleRate;
        const double v = std::sin(phase) + 0.3 * std::sin(3 * phase) + 0.12 * std::sin(5 * phase);
        s[i] = toSample(0.55 * v * ramp(t, length));
    }
    return wave(s);
}

QByteArray SoundSynth::chime()
{
    // Ding-dong: two bell-like notes (a fundamental plus an inharmonic partial) decaying.
    const double length = 1.6;
    const int n = int(length * kSampleRate);
    QVector<qint16> s(n);
    const struct
    {
        double start;
        double f;
    } notes[] = {{0.0, 659.25}, {0.45, 523.25}};
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        double v = 0;
        for (const auto &note : notes) {
            const double u = t - note.start;
            if (u < 0)
                continue;
            const double env = std::exp(-u * 3.2) * std::min(1.0, u / 0.004);
            v +=
                env * (std::sin(kTwoPi * note.f * u) + 0.35 * std::sin(kTwoPi * note.f * 2.76 * u) +
                       0.15 * std::sin(kTwoPi * note.f * 5.4 * u));
        }
        s[i] = toSample(0.45 * v * ramp(t, length, 0.02));
    }
    return wave(s);
}

QByteArray SoundSynth::leak()
{
    // Three "drops": a quick downward sweep with a fast decay, then a warning beep pair.
    const double length = 1.8;
    const int n = int(length * kSampleRate);
    QVector<qint16> s(n);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        double v = 0;
        if (t < 0.9) {
            const double u = std::fmod(t, 0.3);
            const double f = 1400.0 * std::exp(-u * 9.0) + 500.0;
            phase += kTwoPi * f / kSampleRate;
            v = std::sin(phase) * std::exp(-u * 14.0) * std::min(1.0, u / 0.003);
        } else {
            const double u = t - 0.9;
            const bool on = (u < 0.3) || (u > 0.45 && u < 0.75);
            const double local = u < 0.45 ? u : u - 0.45;
            phase += kTwoPi * 988.0 / kSampleRate;
            v = on ? 0.8 * std::sin(phase) * ramp(local, 0.3) : 0.0;
        }
        s[i] = toSample(0.6 * v);
    }
    return wave(s);
}

QByteArray SoundSynth::smoke()
{
    // Smoke detectors beep high and insistently: 3.1 kHz, 150 ms on, 100 ms off.
    const double length = 1.5;
    const int n = int(length * kSampleRate);
    QVector<qint16> s(n);
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kSampleRate;
        const double u = std::fmod(t, 0.25);
        const double v = u < 0.15 ? std::sin(kTwoPi * 3100.0 * t) * ramp(u, 0.15, 0.004) : 0.0;
        s[i] = toSample(0.5 * v);
    }
    return wave(s);
}
