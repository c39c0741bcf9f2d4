// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "xmlplainreader.h"

#include <QVector>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace XML {

namespace {

// The general reader refuses deeper trees; this one leaves them to it so the error is the same.
constexpr int kMaxDepth = 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

// Names are taken in ASCII only; any other name goes to the general reader, which knows the
// full rules for letters of other scripts.
struct NameChars
{
    bool start[256] = {};
    bool inside[256] = {};
    constexpr NameChars()
    {
        for (int c = 0; c < 256; ++c) {
            start[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
            inside[c] = start[c] || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':';
        }
    }
};
constexpr NameChars kNameChars;

bool isNameStart(char c)
{
    return kNameChars.start[static_cast<unsigned char>(c)];
}

bool isNameChar(char c)
{
    return kNameChars.inside[static_cast<unsigned char>(c)];
}

bool isXmlChar(uint code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// Every byte part of a well-formed UTF-8 sequence for a character XML allows. The general reader
// refuses (or, for some encodings, silently replaces) anything else, so such text goes to it.
bool isCleanUtf8(const char *p, const char *end)
{
    while (p < end) {
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c < 0x80) {
            ++p;
            continue;
        }
        if (c < 0x20) {
            if (c != '\t' && c != '\n' && c != '\r')
                return false;
            ++p;
            continue;
        }
        uint code = 0;
        int more = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            code = c & 0x1F;
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            code = c & 0x0F;
            more = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            code = c & 0x07;
            more = 3;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            const auto d = static_cast<unsigned char>(p[i]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        if ((more == 2 && code < 0x800) || (more == 3 && code < 0x10000) || !isXmlChar(code))
            return false;
        p += more + 1;
    }
    return true;
}

// QString::fromUtf8 drops a byte order mark at the start, but in a value or a comment it is a
// character like any other, and the general reader keeps it.
QString fromUtf8(const char *text, int size)
{
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        QString kept = QString::fromUtf8(QByteArray("-", 1) + QByteArray(text, size));
        kept.remove(0, 1);
        return kept;
    }
    return QString::fromUtf8(text, size);
}

QString fromUtf8(const QByteArray &text)
{
    return fromUtf8(text.constData(), text.size());
}

void appendUtf8(QByteArray &out, uint code)
{
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3F)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

class PlainReader
{
public:
    PlainReader(const char *begin, const char *end) : m_p(begin), m_end(end), m_counted(begin) {}

    NodeElementPtr read()
    {
        if (!isCleanUtf8(m_p, m_end))
            return {};
        if (m_end - m_p >= 3 && std::memcmp(m_p, "\xEF\xBB\xBF", 3) == 0)
            m_p += 3;
        m_counted = m_p;
        if (startsWith("<?xml") && !readDeclaration())
            return {};
        if (!readMisc() || m_p == m_end || *m_p != '<')
            return {};
        if (!readElements())
            return {};
        if (!readMisc() || m_p != m_end)
            return {};
        return m_root;
    }

private:
    struct Open
    {
        NodeElement *element;
        const char *name;
        int nameSize;
    };

    bool startsWith(const char *text) const
    {
        const size_t size = std::strlen(text);
        return size_t(m_end - m_p) >= size && std::memcmp(m_p, text, size) == 0;
    }

    // The first place of `text` from the current position on, or null.
    const char *find(const char *text) const
    {
        const char *at = std::search(m_p, m_end, text, text + std::strlen(text));
        return at == m_end ? nullptr : at;
    }

    bool skipSpaces()
    {
        const char *from = m_p;
        while (m_p < m_end && isSpace(*m_p))
            ++m_p;
        return m_p != from;
    }

    // Line of the given position, counted as the general reader counts: "\r\n", "\r" and "\n"
    // each end a line.
    qint64 lineAt(const char *at)
    {
        for (const char *p = m_counted; p < at; ++p) {
            if (*p == '\n' || (*p == '\r' && (p + 1 == m_end || p[1] != '\n')))
                ++m_line;
        }
        m_counted = at;
        return m_line;
    }

    // <?xml version="1.0" encoding="UTF-8" standalone="yes"?>, the last two optional, in this
    // order. Other versions and encodings go to the general reader.
    bool readDeclaration()
    {
        m_p += 5;
        if (!skipSpaces())
            return false;
        QByteArray value;
        if (!readPseudoAttribute("version", value) || value != "1.0")
            return false;
        bool spaced = skipSpaces();
        if (spaced && startsWith("encoding")) {
            if (!readPseudoAttribute("encoding", value) || value.toLower() != "utf-8")
                return false;
            spaced = skipSpaces();
        }
        if (spaced && startsWith("standalone")) {
            if (!readPseudoAttribute("standalone", value) || (value != "yes" && value != "no"))
                return false;
            skipSpaces();
        }
        if (!startsWith("?>"))
            return false;
        m_p += 2;
        return true;
    }

    bool readPseudoAttribute(const char *name, QByteArray &value)
    {
        if (!startsWith(name))
            return false;
        m_p += std::strlen(name);
        skipSpaces();
        if (m_p == m_end || *m_p != '=')
            return false;
        ++m_p;
        skipSpaces();
        if (m_p == m_end || (*m_p != '"' && *m_p != '\''))
            return false;
        const char quote = *m_p++;
        const char *start = m_p;
        while (m_p < m_end && *m_p != quote && *m_p != '<' && *m_p != '&')
            ++m_p;
        if (m_p == m_end || *m_p != quote)
            return false;
        value = QByteArray(start, int(m_p - start));
        ++m_p;
        return true;
    }

    // Spaces and comments before and after the root element.
    bool readMisc()
    {
        for (;;) {
            skipSpaces();
            if (m_p == m_end || *m_p != '<' || m_p + 1 == m_end || m_p[1] != '!')
                return true; // the root, the end, or something only the general reader takes
            if (!startsWith("<!--"))
                return false;
            if (!readComment())
                return false;
        }
    }

    bool readComment()
    {
        m_p += 4;
        const char *start = m_p;
        m_p = find("--");
        // "--" may only close the comment.
        if (!m_p || m_p + 2 >= m_end || m_p[2] != '>')
            return false;
        QByteArray text(start, int(m_p - start));
        if (text.contains('\r'))
            text.replace("\r\n", "\n").replace('\r', '\n');
        m_pendingComments.append(fromUtf8(text));
        m_p += 3;
        return true;
    }

    bool readReference(QByteArray &out)
    {
        // At '&'.
        ++m_p;
        if (m_p < m_end && *m_p == '#') {
            ++m_p;
            const bool hex = m_p < m_end && *m_p == 'x';
            if (hex)
                ++m_p;
            uint code = 0;
            int digits = 0;
            for (; m_p < m_end && *m_p != ';'; ++m_p, ++digits) {
                const char c = *m_p;
                int digit;
                if (c >= '0' && c <= '9')
                    digit = c - '0';
                else if (hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f')
                    digit = (c | 0x20) - 'a' + 10;
                else
                    return false;
                code = code * (hex ? 16 : 10) + uint(digit);
                if (code > 0x10FFFF)
                    return false;
            }
            if (m_p == m_end || digits == 0 || !isXmlChar(code))
                return false;
            ++m_p;
            appendUtf8(out, code);
            return true;
        }
        static const struct
        {
            const char *name;
            char value;
        } predefined[] = {
            {"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"quot;", '"'}, {"apos;", '\''}};
        for (const auto &entity : predefined) {
            if (startsWith(entity.name)) {
                m_p += std::strlen(entity.name);
                out.append(entity.value);
                return true;
            }
        }
        return false;
    }

    // Each distinct name is made a string once and shared by every element that uses it; for a
    // tag, the table also remembers how many attributes its last element had, which is what the
    // next one of that kind most likely has.
    struct Name
    {
        QString text;
        int attributes = 0;
    };

    Name &name(const char *start, int size)
    {
        // The key views the text being read, which outlives the table; the map keeps its values in
        // place as it grows, so a tag's entry stays valid while its attributes' names are added.
        const std::string_view key(start, size_t(size));
        auto found = m_names.find(key);
        if (found != m_names.end())
            return found->second;
        return m_names.emplace(key, Name{QString::fromLatin1(start, size), 0}).first->second;
    }

    // Values repeat too ("true", "0", a colour, the same picture for every lamp), and making a
    // string is most of what reading one costs. A small table keyed by a hash of the bytes keeps
    // the last value seen for each key; a different value of the same hash replaces it.
    QString value(const char *start, int size)
    {
        if (size > kLongestSharedValue)
            return fromUtf8(start, size);
        uint hash = 2166136261u;
        for (int i = 0; i < size; ++i)
            hash = (hash ^ static_cast<unsigned char>(start[i])) * 16777619u;
        SharedValue &slot = m_values[hash % kSharedValues];
        if (!slot.text.isNull() && slot.size == size &&
            std::memcmp(slot.bytes, start, size_t(size)) == 0)
            return slot.text;
        slot.bytes = start;
        slot.size = size;
        slot.text = fromUtf8(start, size);
        return slot.text;
    }

    bool readName(const char *&start, int &size)
    {
        if (m_p == m_end || !isNameStart(*m_p))
            return false;
        start = m_p;
        const char *colon = nullptr;
        while (m_p < m_end && isNameChar(*m_p)) {
            if (*m_p == ':') {
                // One prefix, and a name after it: the general reader refuses "a:", "a:b:c" and
                // "a:1b" (though not always), so those are left to it.
                if (colon)
                    return false;
                colon = m_p;
            }
            ++m_p;
        }
        if (colon && (colon + 1 == m_p || !isNameStart(colon[1])))
            return false;
        size = int(m_p - start);
        return true;
    }

    bool readAttributeValue(QVariant &value)
    {
        if (m_p == m_end || (*m_p != '"' && *m_p != '\''))
            return false;
        const char quote = *m_p++;
        const char *start = m_p;
        bool plain = true;
        for (; m_p < m_end && *m_p != quote; ++m_p) {
            const char c = *m_p;
            if (c == '<')
                return false;
            if (c == '&' || c == '\n' || c == '\r' || c == '\t')
                plain = false;
        }
        if (m_p == m_end)
            return false;
        const char *stop = m_p;
        if (plain) {
            value = this->value(start, int(stop - start));
            ++m_p;
            return true;
        }
        // References resolved; each literal line end (a "\r\n" pair counts once) and tab becomes a
        // space, as every XML reader must do for an attribute.
        m_scratch.clear();
        for (m_p = start; m_p < stop;) {
            const char c = *m_p;
            if (c == '&') {
                if (!readReference(m_scratch) || m_p > stop)
                    return false;
                continue;
            }
            if (c == '\r' && m_p + 1 < stop && m_p[1] == '\n')
                ++m_p;
            m_scratch.append(c == '\n' || c == '\r' || c == '\t' ? ' ' : c);
            ++m_p;
        }
        value = fromUtf8(m_scratch);
        ++m_p;
        return true;
    }

    // At '<' of a start tag.
    bool readStartTag()
    {
        if (m_stack.size() >= kMaxDepth)
            return false;
        ++m_p;
        const char *tag;
        int tagSize;
        if (!readName(tag, tagSize))
            return false;
        Name &tagName = name(tag, tagSize);
        auto element = NodeElement::create(tagName.text);
        Attributes &attributes = element->attributes();
        attributes.reserve(tagName.attributes);
        for (;;) {
            const bool spaced = skipSpaces();
            if (m_p == m_end)
                return false;
            if (*m_p == '>' || *m_p == '/')
                break;
            const char *attributeName;
            int attributeNameSize;
            if (!spaced || !readName(attributeName, attributeNameSize))
                return false;
            const QString &key = name(attributeName, attributeNameSize).text;
            // Names come from one table, so a repeated attribute has the very same characters.
            for (const Attributes::Entry &e : attributes) {
                if (e.first.constData() == key.constData())
                    return false;
            }
            skipSpaces();
            if (m_p == m_end || *m_p != '=')
                return false;
            ++m_p;
            skipSpaces();
            QVariant value;
            if (!readAttributeValue(value))
                return false;
            attributes.append(key, std::move(value));
        }
        tagName.attributes = attributes.size();
        const bool empty = *m_p == '/';
        if (empty && (m_p + 1 == m_end || m_p[1] != '>'))
            return false;
        if (empty)
            ++m_p;
        element->setLineNumber(lineAt(m_p));
        ++m_p;
        if (m_stack.isEmpty()) {
            // Comments in front of the root stay pending and land on its first child.
            m_root = element;
        } else {
            element->setComments(m_pendingComments);
            m_pendingComments.clear();
            m_stack.last().element->children().append(element);
        }
        if (!empty)
            m_stack.append({element.data(), tag, tagSize});
        return true;
    }

    // At "</".
    bool readEndTag()
    {
        m_p += 2;
        const Open &open = m_stack.last();
        if (m_end - m_p < open.nameSize || std::memcmp(m_p, open.name, size_t(open.nameSize)) != 0)
            return false;
        m_p += open.nameSize;
        if (m_p < m_end && isNameChar(*m_p))
            return false;
        skipSpaces();
        if (m_p == m_end || *m_p != '>')
            return false;
        ++m_p;
        // Comments after the last child stay with their element.
        if (!m_pendingComments.isEmpty()) {
            open.element->setTrailingComments(m_pendingComments);
            m_pendingComments.clear();
        }
        m_stack.removeLast();
        return true;
    }

    // Character data up to the next '<'; it is not kept, but must be well formed.
    bool skipText()
    {
        const char *from = m_p;
        while (m_p < m_end && *m_p != '<') {
            const char c = *m_p;
            if (c == '&') {
                m_scratch.clear();
                if (!readReference(m_scratch))
                    return false;
                continue;
            }
            if (c == '>' && m_p - from >= 2 && m_p[-1] == ']' && m_p[-2] == ']')
                return false;
            ++m_p;
        }
        return true;
    }

    bool readElements()
    {
        if (!readStartTag())
            return false;
        while (!m_stack.isEmpty()) {
            if (!skipText() || m_p == m_end)
                return false;
            if (startsWith("</")) {
                if (!readEndTag())
                    return false;
            } else if (startsWith("<!--")) {
                if (!readComment())
                    return false;
            } else if (startsWith("<![CDATA[")) {
                m_p += 9;
                m_p = find("]]>");
                if (!m_p)
                    return false;
                m_p += 3;
            } else if (m_p + 1 < m_end && (m_p[1] == '?' || m_p[1] == '!')) {
                return false;
            } else if (!readStartTag()) {
                return false;
            }
        }
        return true;
    }

    const char *m_p;
    const char *m_end;
    const char *m_counted;
    qint64 m_line = 1;
    NodeElementPtr m_root;
    QVector<Open> m_stack;
    QStringList m_pendingComments;
    std::unordered_map<std::string_view, Name> m_names;
    static constexpr int kLongestSharedValue = 32;
    static constexpr uint kSharedValues = 2048;
    struct SharedValue
    {
        const char *bytes = nullptr;
        int size = 0;
        QString text;
    };
    std::vector<SharedValue> m_values = std::vector<SharedValue>(kSharedValues);
    QByteArray m_scratch;
};

} // namespace

NodeElementPtr readPlainXml(const QByteArray &data)
{
    return PlainReader(data.constData(), data.constData() + data.size()).read();
}

} // namespace XML
