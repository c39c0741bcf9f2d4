#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
"""Writes the seed corpora of the fuzzing harnesses into fuzz/corpus/<harness>/.

Seeds come from the test fixtures, the demo home (its project files are taken out of
resources/demo/configs.package) and small hand-made files that reach the corners of each format.
Run from anywhere; re-run after the fixtures or the demo change and commit the result.
"""
import hashlib
import pathlib
import shutil
import struct
import zlib

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = ROOT / "fuzz" / "corpus"
PROJECT_NAMES = ["main_config.xml", "light_config.xml", "heat_config.xml"]


def put(harness, name, data):
    folder = CORPUS / harness
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def unpack_package(path):
    """The entries of a package archive as (name, bytes)."""
    raw = path.read_bytes()
    _type, stored, unpacked, count = struct.unpack("<4i", raw[8:24])
    body = raw[56:56 + stored]
    content = zlib.decompress(body[4:]) if stored < unpacked else body
    entries, pos = [], 0
    for _ in range(count):
        (n,) = struct.unpack("<i", content[pos:pos + 4]); pos += 4
        name = content[pos:pos + n].split(b"\0")[0].decode(); pos += n
        (n,) = struct.unpack("<i", content[pos:pos + 4]); pos += 4
        entries.append((name, content[pos:pos + n])); pos += n
    return entries


def package(entries, compress, type_=2, count=None, label=b"none"):
    content = b"".join(struct.pack("<i", len(n)) + n + struct.pack("<i", len(d)) + d
                       for n, d in entries)
    body = struct.pack(">I", len(content)) + zlib.compress(content) if compress else content
    header = b"VERANDIX" + struct.pack("<4i", type_, len(body), len(content),
                                       len(entries) if count is None else count)
    return header + label.ljust(32, b"\0") + body


def wave(channels=1, rate=8000, bits=16, frames=4, rifx=False, tag=1, extra_chunks=b"",
         fmt_extra=b"", data_size=None, odd_chunk=False):
    e = ">" if rifx else "<"
    block = channels * bits // 8
    fmt = struct.pack(e + "HHIIHH", tag, channels, rate, rate * block, block, bits) + fmt_extra
    samples = bytes((i * 37) & 0xFF for i in range(frames * block))
    chunks = b"fmt " + struct.pack(e + "I", len(fmt)) + fmt
    if odd_chunk:
        chunks += b"junk" + struct.pack(e + "I", 3) + b"abc\0"
    chunks += extra_chunks
    chunks += b"data" + struct.pack(e + "I", len(samples) if data_size is None else data_size)
    chunks += samples
    head = b"RIFX" if rifx else b"RIFF"
    return head + struct.pack(e + "I", 4 + len(chunks)) + b"WAVE" + chunks


def main():
    shutil.rmtree(CORPUS, ignore_errors=True)
    fixtures = sorted((ROOT / "tests" / "data" / "project").glob("*.xml"))
    demo_entries = unpack_package(ROOT / "resources" / "demo" / "configs.package")
    demo_projects = [(n, d) for n, d in demo_entries if n.endswith(".xml")]
    settings_files = [ROOT / "tests" / "data" / "project" / "config.xml",
                      ROOT / "resources" / "demo" / "config.xml"]
    settings_files += sorted((ROOT / "tests" / "homesim" / "data").glob("*/config.xml"))

    # XML node tree: every XML the program reads, plus the corners of the syntax.
    for f in fixtures + sorted((ROOT / "tests" / "core" / "data" / "locale").glob("*.xml")):
        put("xmldocument", f.parent.name + "-" + f.name, f.read_bytes())
    for n, d in demo_projects:
        put("xmldocument", "demo-" + n, d)
    hand = {
        "comments.xml": b'<?xml version="1.0"?>\n<!-- lead --><a><!--one--><b x="1"/><!--tail--></a>',
        "entities.xml": b'<a t="&lt;&amp;&gt;&quot;&apos;&#10;&#x9;&#13;"><b/></a>',
        "cdata.xml": b"<a><![CDATA[<not/>]]>text<b/></a>",
        "namespaces.xml": b'<p:a xmlns:p="urn:x" p:k="v"><p:b/></p:a>',
        "doctype.xml": b'<!DOCTYPE a [<!ENTITY e "x&#38;y">]><a v="&e;"/>',
        "latin1.xml": b'<?xml version="1.0" encoding="ISO-8859-1"?><a v="\xe9"/>',
        "utf16.xml": '<?xml version="1.0" encoding="UTF-16"?><a v="\u0436"/>'.encode("utf-16"),
        "nested.xml": b"<a>" * 40 + b"</a>" * 40,
        "deep.xml": b"<a>" * 1100 + b"</a>" * 1100,
        "pi.xml": b"<?xml version='1.0'?><?target data?><a><?x y?></a>",
    }
    for n, d in hand.items():
        put("xmldocument", n, d)

    # Settings reader.
    for f in settings_files:
        put("eappsettings", f.parent.name + "-" + f.name, f.read_bytes())
    put("eappsettings", "version1.xml",
        b'<config version="1"><glscene textB="a"/><glscene textB="b"/><dopset textB="c"/>'
        b'<message id="3" textB="m" minimum="1.5" maximum="nan"/><sound fileName="s.wav" id="2"/>'
        b'<offset value="1F4"/><timeout value="-5"/></config>')
    put("eappsettings", "empty.xml", b"<config/>")

    # Project reader: byte 0 picks the file name (main, light, heat, other), byte 1 the length of
    # the controller answer that follows; then the file.
    answer = bytes(range(1, 17))
    def project_seed(name, data):
        kind = PROJECT_NAMES.index(name) if name in PROJECT_NAMES else 3
        return bytes([kind, len(answer)]) + answer + data
    for f in fixtures:
        if f.name != "config.xml":
            put("projectreader", "fixture-" + f.name, project_seed(f.name, f.read_bytes()))
    for n, d in demo_projects:
        put("projectreader", "demo-" + n, project_seed(n, d))

    # Package archives.
    put("epackage", "demo-configs.package",
        (ROOT / "resources" / "demo" / "configs.package").read_bytes())
    small = [(b"a.xml", b"<a/>"), (b"b.txt\0pad", b"xyz"), (b"empty", b"")]
    put("epackage", "plain.package", package(small, compress=False))
    put("epackage", "compressed.package", package(small, compress=True))
    put("epackage", "unsafe-names.package",
        package([(b"../up", b"1"), (b"/abs", b"2"), (b"a/b", b"3"), (b"..", b""),
                 (b"c:x", b"4"), (b"ok", b"5")], compress=False))
    put("epackage", "short-count.package", package(small, compress=False, count=9))
    put("epackage", "header-only.package", package([], compress=False)[:56])

    # WAVE reader.
    put("wavereader", "pcm16-mono.wav", wave())
    put("wavereader", "pcm8-stereo.wav", wave(channels=2, bits=8, rate=22050))
    put("wavereader", "pcm24.wav", wave(bits=24, rate=48000))
    put("wavereader", "rifx.wav", wave(rifx=True))
    put("wavereader", "extensible.wav",
        wave(tag=0xFFFE, channels=2, fmt_extra=struct.pack("<HHI", 22, 16, 3) +
             struct.pack("<H", 1) + bytes(14)))
    put("wavereader", "list-chunk.wav",
        wave(extra_chunks=b"LIST" + struct.pack("<I", 8) + b"INFOabcd", odd_chunk=True))
    put("wavereader", "streaming-size.wav", wave(data_size=0xFFFFFFFF))
    put("wavereader", "truncated.wav", wave(frames=8)[:-5])
    put("wavereader", "no-fmt.wav", b"RIFF\x10\0\0\0WAVEdata\x04\0\0\0abcd")

    # MJPEG stream: chunk seed byte, Content-Type line, then the body in the framings cameras use.
    jpeg = b"\xff\xd8\xff\xe0" + bytes(range(40)) + b"\xff\xd9"
    def part(eol=b"\r\n", headers=(b"Content-Type: image/jpeg",), length=True, pad=b"",
             boundary=b"--frame"):
        lines = [boundary] + list(headers)
        if length:
            lines.append(b"Content-Length: " + pad + str(len(jpeg)).encode() + pad)
        return eol.join(lines) + eol + eol + jpeg + eol
    framings = {
        "crlf": (b"multipart/x-mixed-replace;boundary=frame", part() * 3),
        "lf-lowercase": (b"multipart/x-mixed-replace; boundary=frame",
                         part(eol=b"\n", headers=(b"content-type: image/jpeg",)) * 2),
        "timestamp": (b"multipart/x-mixed-replace;boundary=frame",
                      part(headers=(b"Content-Type: image/jpeg", b"X-Timestamp: 12.5")) * 2),
        "padded-length": (b"multipart/x-mixed-replace;boundary=frame", part(pad=b"  ") * 2),
        "no-length": (b"multipart/x-mixed-replace;boundary=frame", part(length=False) * 3),
        "quoted-dashes": (b'multipart/x-mixed-replace; boundary="--myboundary"',
                          part(boundary=b"----myboundary") * 2),
        "oversized-length": (b"multipart/x-mixed-replace;boundary=frame",
                             b"--frame\r\nContent-Length: 99999999999\r\n\r\nxx\r\n" + part()),
    }
    for i, (name, (content_type, body)) in enumerate(framings.items()):
        put("mjpegstream", name, bytes([i * 37 % 256]) + content_type + b"\n" + body)

    # Weather informer replies.
    weather = (ROOT / "tests" / "media" / "tst_weatherdata.cpp").read_text()
    start, end = weather.index("<MMWEATHER>"), weather.index("</MMWEATHER>") + len("</MMWEATHER>")
    reply = weather[start:end].encode()
    put("weatherreply", "reply.xml", reply)
    put("weatherreply", "reply-declared.xml", b'<?xml version="1.0" encoding="windows-1251"?>' + reply)
    put("weatherreply", "no-children.xml",
        b'<MMWEATHER><REPORT><TOWN><FORECAST day="1"/></TOWN></REPORT></MMWEATHER>')

    # Whole HTTP replies: chunk seed byte, reader byte (even camera, odd weather), then the reply.
    # An 8 x 8 grey baseline JPEG (made once with ffmpeg), and the same declaring 65500 x 65500.
    tiny_jpeg = bytes.fromhex(
        "ffd8ffe000104a46494600010200000100010000fffe00104c61766335392e33372e31303000ffdb00430008"
        "0404040404050505050505060606060606060606060606060707070808080707070606070708080808090909"
        "0808080809090a0a0a0c0c0b0b0e0e0e111114ffc4004a000100000000000000000000000000000000010100"
        "0000000000000000000000000000001001000000000000000000000000000000001101000000000000000000"
        "00000000000000ffc00011080008000803011200021200031200ffda000c03010002110311003f00000fffd9")
    sof = tiny_jpeg.index(b"\xff\xc0")
    bomb = tiny_jpeg[:sof + 5] + struct.pack(">HH", 65500, 65500) + tiny_jpeg[sof + 9:]
    stream_head = (b"HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=frame\r\n"
                   b"\r\n")
    def frame(data):
        return (b"--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " + str(len(data)).encode()
                + b"\r\n\r\n" + data + b"\r\n")
    camera_body = frame(tiny_jpeg) + frame(bomb)
    def chunked(data, size=50):
        out = b""
        for i in range(0, len(data), size):
            piece = data[i:i + size]
            out += b"%x;ext=1\r\n" % len(piece) + piece + b"\r\n"
        return out + b"0\r\nX-Trailer: 1\r\n\r\n"
    replies = {
        "camera-frames": (0, stream_head + camera_body),
        "camera-chunked": (0, stream_head.replace(b"\r\n\r\n", b"\r\nTransfer-Encoding: chunked"
                                                 b"\r\n\r\n") + chunked(camera_body)),
        "camera-quoted-no-length": (0, b"HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace;"
                                       b' boundary="--myboundary"\r\n\r\n----myboundary\r\n'
                                       b"Content-Type: image/jpeg\r\n\r\n" + tiny_jpeg
                                       + b"\r\n----myboundary\r\n"),
        "weather": (1, b"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: "
                       + str(len(reply)).encode() + b"\r\n\r\n" + reply),
        "weather-chunked": (1, b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                               + chunked(reply, 300)),
        "weather-to-end": (1, b"HTTP/1.0 200 OK\ncontent-type: text/xml\n\n" + reply),
        "challenges": (0, b"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 401 Unauthorized\r\n"
                          b'WWW-Authenticate: Digest realm="cam", nonce="abc", qop="auth"\r\n'
                          b'WWW-Authenticate: Basic realm="cam"\r\nContent-Length: 0\r\n\r\n'),
        "folded-no-content": (1, b"HTTP/1.1 204 No Content\nX-A: one\n two\n\n"),
        "declared-huge": (1, b"HTTP/1.1 200 OK\r\nContent-Length: 2147483000\r\n\r\nxx"),
    }
    for i, (name, (reader, data)) in enumerate(replies.items()):
        put("httpreply", name, bytes([i * 53 % 256, reader]) + data)

    # Status block and scene area: 3 messages, 2 parameters, their ids, then 240 bytes.
    block = bytes([0xFF, 1, 2, 3, 4, 2, 0x0C, 7, 1, 0, 0, 0, 0, 0, 5]) + bytes(range(15, 240))
    put("statusblock", "status.bin", bytes([3, 2, 2, 5, 200, 1, 16]) + block)
    put("statusblock", "short.bin", bytes([1, 1, 2, 17]) + block[:59])
    put("statusblock", "scene-names.bin",
        bytes([0, 0]) + (b"Evening\0Morning\0" + bytes(range(1, 120)) + b"x" * 110))

    # Controller answers: flags, length, address (2 bytes), then the answer frame.
    def mbap(pdu, transaction=1):
        return struct.pack(">HHHB", transaction, 0, len(pdu) + 1, 0) + pdu
    put("modbusanswer", "read3.bin", bytes([1, 8, 0, 20]) + mbap(bytes([3, 8]) + bytes(range(8))))
    put("modbusanswer", "read4.bin", bytes([5, 4, 1, 0]) + mbap(bytes([4, 4, 1, 2, 3, 4])))
    put("modbusanswer", "exception.bin", bytes([1, 8, 0, 20]) + mbap(bytes([0x83, 2])))
    put("modbusanswer", "write16.bin", bytes([3, 6, 0, 30]) + mbap(bytes([16, 0, 30, 0, 3])))
    put("modbusanswer", "odd-length.bin", bytes([1, 5, 0, 0]) + mbap(bytes([3, 6]) + bytes(6)))
    put("modbusanswer", "two-frames.bin",
        bytes([1, 2, 0, 0]) + mbap(bytes([3, 2, 9, 9])) + mbap(bytes([3, 2, 9, 9])))
    put("modbusanswer", "foreign-id.bin", bytes([0, 2, 0, 0]) + mbap(bytes([3, 2, 1, 1]), 77))
    put("modbusanswer", "short-header.bin", bytes([1, 2, 0, 0, 0, 1, 0]))

    for folder in sorted(CORPUS.iterdir()):
        files = list(folder.iterdir())
        digest = hashlib.sha1(b"".join(f.read_bytes() for f in sorted(files))).hexdigest()[:8]
        print(f"{folder.name}: {len(files)} seeds ({digest})")


if __name__ == "__main__":
    main()
