// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QByteArray>
#include <QString>

class QTextCodec;

// The one text encoding of everything exchanged with the home controller: text-write windows,
// scene names, SMS texts and dynamic texts. It is a setting of the configuration (config.xml
// `controller_codec`, a single-byte encoding such as Windows-1251), never the system's locale,
// so that a text means the same on every panel and in the controller. Limits count bytes of this
// encoding, and a text is never cut inside a character.
namespace ControllerText {

constexpr const char kDefaultCodec[] = "Windows-1251";

// Chooses the encoding by name; an unknown or empty name selects the default. Returns false
// when the name was not known. Safe to call from any thread; the link reads it between polls.
bool setCodecName(const QByteArray &name);
QTextCodec *codec();
QByteArray codecName();

// The text in the controller's encoding, at most `maxBytes` bytes, ending on a character
// boundary (a negative limit: no limit). Characters the encoding lacks become '?'.
QByteArray encode(const QString &text, int maxBytes = -1);
// The controller's bytes as text, up to the first zero byte.
QString decode(const QByteArray &bytes);
// How many bytes the text takes in the controller.
int byteLength(const QString &text);
// The longest beginning of `text` that fits into `maxBytes` bytes.
QString fitted(const QString &text, int maxBytes);

} // namespace ControllerText
