// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "eaudioplayer.h"

#include "mediaconstants.h"
#include "medialogging.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <cstring>
#include <limits>

using namespace MediaConstants;
using namespace MediaConstants::Wave;

namespace {

quint16 readU16(const QByteArray &bytes, int offset, bool bigEndian)
{
    Q_ASSERT(offset + 2 <= bytes.size());
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData()) + offset;
    return bigEndian ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
}

quint32 readU32(const QByteArray &bytes, int offset, bool bigEndian)
{
    Q_ASSERT(offset + 4 <= bytes.size());
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData()) + offset;
    return bigEndian ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
}

// Decodes the body of a "fmt " chunk; an invalid format for anything but integer PCM that a sound
// server can take. Headers are checked against sane limits because every field ends up sizing
// buffers and timers of the audio output.
QAudioFormat formatFromFmtChunk(const QByteArray &fmt, bool bigEndian)
{
    if (fmt.size() < kMinFmtBytes)
        return {};
    quint16 tag = readU16(fmt, 0, bigEndian);
    const quint16 channels = readU16(fmt, 2, bigEndian);
    const quint32 sampleRate = readU32(fmt, 4, bigEndian);
    const quint16 bitsPerSample = readU16(fmt, 14, bigEndian);

    // The extensible layout carries the real format tag as the first two bytes of its sub-format
    // GUID; tools write it for 24-bit and multi-channel PCM.
    if (tag == kFormatExtensible) {
        if (fmt.size() < kExtensibleFmtBytes)
            return {};
        tag = readU16(fmt, kExtensibleSubFormatOffset, bigEndian);
        if (tag != kFormatPcm)
            return {};
    } else if (tag != kFormatPcm && tag != kFormatUnknown) {
        return {};
    }
    if (channels < 1 || channels > kMaxChannels)
        return {};
    if (sampleRate < quint32(kMinSampleRate) || sampleRate > quint32(kMaxSampleRate))
        return {};
    if (bitsPerSample != 8 && bitsPerSample != 16 && bitsPerSample != 24 && bitsPerSample != 32)
        return {};

    QAudioFormat format;
    format.setCodec(QStringLiteral("audio/pcm"));
    format.setByteOrder(bigEndian ? QAudioFormat::BigEndian : QAudioFormat::LittleEndian);
    format.setChannelCount(channels);
    format.setSampleRate(int(sampleRate));
    format.setSampleSize(bitsPerSample);
    // 8-bit WAVE samples are unsigned (silence at 128), wider ones signed.
    format.setSampleType(bitsPerSample == 8 ? QAudioFormat::UnSignedInt : QAudioFormat::SignedInt);
    return format;
}

// The sample bytes of a WAVE file as a device of their own, so the output pulls exactly the data
// chunk: chunks after it (tags, cue points) would otherwise be played as a burst of noise. The
// samples are followed by one output buffer of silence: the sound server only starts a stream
// once its buffer has filled and reports the end only once it has run dry, so without the
// padding a sound shorter than the buffer never starts and the tail of a longer one is cut off
// when the output is stopped.
class SampleRange final : public QIODevice
{
public:
    SampleRange(QIODevice *source, qint64 begin, qint64 length, qint64 silence, char silenceByte)
        : m_source(source)
        , m_begin(begin)
        , m_length(length)
        , m_silence(silence)
        , m_silenceByte(silenceByte)
    {
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_length + m_silence; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 at = pos();
        if (maxSize <= 0 || at >= size())
            return 0;
        if (at >= m_length) {
            const qint64 n = qMin(maxSize, size() - at);
            memset(data, m_silenceByte, size_t(n));
            return n;
        }
        if (!m_source->seek(m_begin + at))
            return -1;
        const qint64 n = m_source->read(data, qMin(maxSize, m_length - at));
        // A file that shrank under us ends the samples early: go on with silence, keeping the
        // total (a whole number of frames) as it was.
        if (n <= 0) {
            m_silence += m_length - at;
            m_length = at;
            return readData(data, maxSize);
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice *m_source;
    const qint64 m_begin;
    qint64 m_length;
    qint64 m_silence;
    const char m_silenceByte;
};

// How long the output may take before it counts as stalled: the sound's own length plus slack.
int watchdogInterval(const QAudioFormat &format, qint64 dataLength)
{
    const qint64 bytesPerSecond = qint64(format.sampleRate()) * format.bytesPerFrame();
    const qint64 limit = std::numeric_limits<int>::max() - kPlaybackSlackMs;
    const qint64 ms = bytesPerSecond > 0 ? dataLength * 1000 / bytesPerSecond : 0;
    return int(qMin(ms, limit)) + kPlaybackSlackMs;
}

} // namespace

EAudioPlayer::EAudioPlayer(QObject *parent) : QObject(parent) {}

EAudioPlayer::~EAudioPlayer() = default;

EAudioPlayer::WaveHeader EAudioPlayer::readWaveHeader(QIODevice *device)
{
    Q_ASSERT(device);
    WaveHeader header;
    if (!device || !device->isReadable() || device->isSequential() || !device->seek(0))
        return header;

    const QByteArray riff = device->read(kRiffHeaderBytes);
    if (riff.size() != kRiffHeaderBytes || riff.mid(8, kIdBytes) != kWaveId)
        return header;
    bool bigEndian = false;
    if (riff.startsWith(kRifxId))
        bigEndian = true;
    else if (!riff.startsWith(kRiffId))
        return header;

    // Walk the chunks rather than expect "data" right after "fmt ": writers put LIST, fact or
    // padding chunks in between, and a fmt chunk may be longer than the fields we read (cbSize,
    // the extensible layout). Playing any of those bytes as samples would misalign every frame.
    const qint64 fileSize = device->size();
    QAudioFormat format;
    qint64 pos = kRiffHeaderBytes;
    for (int chunks = 0; chunks < kMaxChunks && pos + kChunkHeaderBytes <= fileSize; ++chunks) {
        if (!device->seek(pos))
            return header;
        const QByteArray chunk = device->read(kChunkHeaderBytes);
        if (chunk.size() != kChunkHeaderBytes)
            return header;
        const QByteArray id = chunk.left(kIdBytes);
        const qint64 size = readU32(chunk, kIdBytes, bigEndian);
        const qint64 body = pos + kChunkHeaderBytes;

        if (id == kFmtId) {
            format = formatFromFmtChunk(device->read(qMin(size, kExtensibleFmtBytes)), bigEndian);
            if (!format.isValid())
                return header;
        } else if (id == kDataId) {
            if (!format.isValid())
                return header; // samples before any format
            // Sizes lie: streaming writers leave 0 or 0xFFFFFFFF, truncated copies keep the
            // original size. Play what the file holds, in whole frames.
            qint64 length = fileSize - body;
            if (size > 0 && size < length)
                length = size;
            length -= length % format.bytesPerFrame();
            header.format = format;
            header.dataOffset = body;
            header.dataLength = qMax<qint64>(length, 0);
            return header;
        }
        pos = body + size + (size & 1); // chunks are padded to even length
    }
    return header;
}

QAudioFormat EAudioPlayer::outputFormat(const QAudioDeviceInfo &device, const QAudioFormat &format)
{
    if (device.isNull() || !format.isValid())
        return {};
    if (device.isFormatSupported(format))
        return format;
    return device.nearestFormat(format);
}

void EAudioPlayer::play(const QString &path)
{
    // The local event loop below belongs to the thread that owns the player.
    Q_ASSERT(QThread::currentThread() == thread());
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        emit soundNotfound();
        return;
    }
    // Only regular files: opening a FIFO would block the GUI thread until someone writes to it.
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        qCDebug(lcMedia) << "cannot open sound file" << path;
        emit soundError();
        return;
    }
    const WaveHeader header = readWaveHeader(&file);
    if (!header.isValid()) {
        qCDebug(lcMedia) << "not a playable PCM WAVE file:" << path;
        emit soundError();
        return;
    }

    const QAudioDeviceInfo device = QAudioDeviceInfo::defaultOutputDevice();
    const QAudioFormat format = outputFormat(device, header.format);
    if (!format.isValid()) {
        qCWarning(lcMedia) << "no audio output device for" << path;
        emit soundError();
        return;
    }
    if (format != header.format)
        qCWarning(lcMedia) << "audio output does not take" << header.format << "playing" << path
                           << "as" << format;

    // Left to itself the sound server buffers about two seconds, and the end of a sound is only
    // noticed once that buffer has run dry; a shorter buffer reports the end soon after it is
    // heard.
    const qint64 bufferBytes = qMax<qint64>(format.bytesForDuration(kOutputBufferUs), 0);
    // Unsigned 8-bit samples are silent at their midpoint, signed ones at zero.
    const char silence = format.sampleType() == QAudioFormat::UnSignedInt ? char(0x80) : char(0);
    SampleRange samples(&file, header.dataOffset, header.dataLength, bufferBytes, silence);
    samples.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    // Declared after the samples so that it is gone before them on every way out.
    QAudioOutput output(device, format);
    output.setBufferSize(int(bufferBytes));
    QEventLoop loop;
    QPointer<EAudioPlayer> self(this);
    // Every state change wakes the loop, which then decides whether playback is over. A player
    // deleted from inside the loop wakes it too, so the call unwinds instead of waiting.
    connect(&output, &QAudioOutput::stateChanged, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);

    output.start(&samples);
    if (output.state() == QAudio::StoppedState && output.error() != QAudio::NoError) {
        qCWarning(lcMedia) << "cannot open the audio output" << device.deviceName() << "for"
                           << path;
        emit soundError();
        return;
    }
    emit soundStarted();
    if (!self)
        return;

    // A sound server that stops consuming (suspended sink, lost connection) would keep the
    // output active forever and the caller blocked with it.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, &output, [&output, &path] {
        qCWarning(lcMedia) << "audio output stalled, stopping" << path;
        output.stop();
    });
    watchdog.start(watchdogInterval(format, samples.size()));

    // Idle with samples left is a momentary underrun the output recovers from; only idle at the
    // end of the samples means the sound has been heard.
    auto playing = [&] {
        const QAudio::State state = output.state();
        return state == QAudio::ActiveState || (state == QAudio::IdleState && !samples.atEnd());
    };
    while (self && playing()) {
        // A non-zero result means the application is quitting: every further exec() would return
        // at once, so leave instead of spinning.
        if (loop.exec() != 0)
            break;
    }
    output.stop();
    samples.close();
    file.close();
    if (self)
        emit soundFinished();
}
