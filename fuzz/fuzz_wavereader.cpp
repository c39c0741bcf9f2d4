// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The WAVE header reader under any file: it must never crash, and a header it accepts must point
// at whole sample frames that are really in the file.
#include "eaudioplayer.h"
#include "fuzzsupport.h"

#include <QBuffer>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray input = FuzzSupport::bytes(data, size);
    QBuffer buffer(&input);
    buffer.open(QIODevice::ReadOnly);
    const EAudioPlayer::WaveHeader header = EAudioPlayer::readWaveHeader(&buffer);
    if (!header.isValid())
        return 0;
    const int frameBytes = header.format.bytesPerFrame();
    if (frameBytes <= 0)
        FuzzSupport::fail("an accepted format has no frame size");
    if (header.dataOffset < 0 || header.dataLength <= 0 ||
        header.dataOffset + header.dataLength > qint64(size))
        FuzzSupport::fail("the samples of an accepted file lie outside the file");
    if (header.dataLength % frameBytes != 0)
        FuzzSupport::fail("an accepted file has a partial sample frame");
    return 0;
}
