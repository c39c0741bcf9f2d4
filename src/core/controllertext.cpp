// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "controllertext.h"

#include <QTextCodec>
#include <atomic>

namespace {

QTextCodec *defaultCodec()
{
    static QTextCodec *const codec = [] {
        QTextCodec *c = QTextCodec::codecForName(ControllerText::kDefaultCodec);
        // Qt built without the Cyrillic tables still has Latin-1.
        return c ? c : QTextCodec::codecForName("ISO-8859-1");
    }();
    return codec;
}

std::atomic<QTextCodec *> &current()
{
    static std::atomic<QTextCodec *> codec{defaultCodec()};
    return codec;
}

} // namespace

namespace ControllerText {

bool setCodecName(const QByteArray &name)
{
    QTextCodec *codec =
        name.trimmed().isEmpty() ? nullptr : QTextCodec::codecForName(name.trimmed());
    current().store(codec ? codec : defaultCodec());
    return codec != nullptr;
}

QTextCodec *codec()
{
    return current().load();
}

QByteArray codecName()
{
    return codec()->name();
}

QString fitted(const QString &text, int maxBytes)
{
    if (maxBytes < 0)
        return text;
    QTextCodec *c = codec();
    // Whole characters only: a surrogate pair is one character, and so is a base letter with the
    // combining marks that follow it only in the sense of the encoding, which sees code points.
    int bytes = 0;
    int end = 0;
    while (end < text.size()) {
        const int width = text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        const int size = c->fromUnicode(text.constData() + end, width).size();
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += width;
    }
    return text.left(end);
}

QByteArray encode(const QString &text, int maxBytes)
{
    return codec()->fromUnicode(fitted(text, maxBytes));
}

QString decode(const QByteArray &bytes)
{
    const int end = bytes.indexOf('\0');
    return codec()->toUnicode(end < 0 ? bytes : bytes.left(end));
}

int byteLength(const QString &text)
{
    return codec()->fromUnicode(text).size();
}

} // namespace ControllerText
