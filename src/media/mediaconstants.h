// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QtGlobal>

// Constants fixed by the file formats and protocols the media subsystem reads.
namespace MediaConstants {

// WAVE (RIFF/RIFX) sound files.
namespace Wave {
constexpr char kRiffId[] = "RIFF"; // little-endian header and samples
constexpr char kRifxId[] = "RIFX"; // big-endian header and samples
constexpr char kWaveId[] = "WAVE";
constexpr char kFmtId[] = "fmt ";
constexpr char kDataId[] = "data";
constexpr int kIdBytes = 4;
constexpr qint64 kRiffHeaderBytes = 12; // "RIFF", size, "WAVE"
constexpr qint64 kChunkHeaderBytes = 8; // id, 32-bit size
constexpr qint64 kMinFmtBytes = 16;     // format tag .. bits per sample
constexpr qint64 kExtensibleFmtBytes = 40;
constexpr qint64 kExtensibleSubFormatOffset = 24; // within the fmt chunk body
constexpr quint16 kFormatUnknown = 0;             // written by some tools for plain PCM
constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatExtensible = 0xFFFE;
// Limits beyond which a header is taken to be lying rather than describing a real sound: the
// channel ceiling is the sound server's, and rates outside this band are no sound anyone plays.
constexpr int kMaxChannels = 32;
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 384000;
// Chunks walked before the sample data at most, so a file of endless tiny chunks cannot stall us.
constexpr int kMaxChunks = 1024;
} // namespace Wave

// Extra time an audio output gets beyond the sound's own length before it counts as stalled
// (server start-up latency and buffering).
constexpr int kPlaybackSlackMs = 3000;
// Audio output buffer: long enough to ride out a busy GUI thread, short enough that the end of a
// sound is reported soon after it is heard.
constexpr qint64 kOutputBufferUs = 250000;

// HTTP replies of cameras and the weather informer.
namespace Http {
// Status line, headers and trailers of one reply. Real peers send well under 2 KiB; a peer that
// goes on past this is not answering, it is filling memory.
constexpr int kMaxHeaderBytes = 16 * 1024;
// A chunk size line is a hexadecimal number and perhaps a short extension.
constexpr int kMaxChunkLineBytes = 1024;
// Bytes read from a connection ahead of the reader. Once they are held the socket stops reading,
// the kernel's window closes and the peer has to wait: a stream faster than we parse it costs
// the peer time, never us memory.
constexpr qint64 kReadBufferBytes = 256 * 1024;
} // namespace Http

// Motion-JPEG over HTTP (multipart/x-mixed-replace).
namespace Mjpeg {
constexpr char kMultipartType[] = "multipart/x-mixed-replace";
// A part larger than this is no camera frame: a JPEG of a 4K picture at the best quality is
// under 4 MiB, and the cap keeps a lying Content-Length from allocating gigabytes.
constexpr qint64 kMaxFrameBytes = 8 * 1024 * 1024;
// Frames declaring more pixels than this on either side are refused from their header, before
// anything is decoded: a few hundred bytes can declare a picture of gigabytes.
constexpr int kMaxFrameSide = 8192;
// Frames are decoded at most this often, oldest first; of the frames waiting beyond this many the
// oldest are dropped, so a camera sending faster than we draw costs no more than one at this rate.
constexpr int kMinFrameIntervalMs = 25;
constexpr int kMaxWaitingFrames = 4;
// Part headers are a few short lines; more than this is a stream we lost track of.
constexpr int kMaxHeaderBytes = 16 * 1024;
// The stream is aborted after this long without a frame (counted from the request, so headers
// that never end count too) and requested again at most this often.
constexpr int kWatchdogMs = 10000;
constexpr int kReconnectMs = 10000;
} // namespace Mjpeg

// Camera PTZ commands.
namespace Ptz {
constexpr int kReplyTimeoutMs = 10000;
// Commands waiting for their answer at most; presses beyond are dropped.
constexpr int kMaxPendingRequests = 4;
constexpr qint64 kMaxReplyBytes = 64 * 1024;
} // namespace Ptz

// Weather informer (XML forecast per town).
namespace Weather {
constexpr char kPathFolder[] = "/xml/";
constexpr char kFileSuffix[] = "_1.xml";
// Used when the configuration names no informer: the local informer, so an unconfigured panel
// never reaches out to a host nobody chose.
constexpr char kDefaultPrefix[] = "http://127.0.0.1:8089/xml/";
// A forecast file is a few kilobytes; anything near this is not one.
constexpr qint64 kMaxReplyBytes = 1024 * 1024;
constexpr int kRequestTimeoutMs = 30000;
} // namespace Weather

} // namespace MediaConstants
