// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QAudioDeviceInfo>
#include <QAudioFormat>
#include <QObject>

class QIODevice;

// Plays one uncompressed PCM WAVE file to its end on the system's default audio output. play()
// returns only when the sound has ended, running a local event loop meanwhile so the program
// stays responsive; a play() issued from inside that loop plays nested. The player keeps no state
// between calls: every playback uses its own file, output and loop.
class EAudioPlayer : public QObject
{
    Q_OBJECT
public:
    // Where the samples of a WAVE file are and how to play them.
    struct WaveHeader
    {
        QAudioFormat format;   // invalid if the file is no playable PCM WAVE file
        qint64 dataOffset = 0; // first sample byte
        qint64 dataLength = 0; // sample bytes present in the file, whole frames only
        bool isValid() const { return format.isValid() && dataLength > 0; }
    };

    explicit EAudioPlayer(QObject *parent = nullptr);
    ~EAudioPlayer() override;

    // Reads the header of a WAVE file from the start of the device.
    static WaveHeader readWaveHeader(QIODevice *device);
    // The format an output on the device will be opened with for samples in the given format:
    // the format itself if the device takes it, else the device's nearest; invalid without device.
    static QAudioFormat outputFormat(const QAudioDeviceInfo &device, const QAudioFormat &format);

public slots:
    // Plays the file to its end. Emits soundNotfound() for a missing file, soundError() for a
    // file that is no PCM WAVE file or cannot be read and when no output can be opened, and
    // otherwise soundStarted() and, once the output has stopped, soundFinished().
    void play(const QString &path);

signals:
    void soundStarted();
    void soundFinished();
    void soundNotfound();
    void soundError();
};
