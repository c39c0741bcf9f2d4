// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlconstants.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <type_traits>

class BaseControlV1;

// One attribute of a control element in the project files and the record field behind it: its
// value type, how the record gives and takes it, the value a fresh record has, and the values the
// panel works with. The reader, the writer, the editor and the tools all go through it.
struct ControlAttribute
{
    // How the attribute text converts: the file format's rules for strings, integers, doubles and
    // booleans. A keyword is text the record converts itself (typeD, systType, textAlign).
    enum Type { String, Integer, Real, Boolean, Keyword };
    enum Flag {
        Read = 0x1,
        Written = 0x2,
        Stored = Read | Written,
        // The name of a picture in the working folder.
        Image = 0x4,
        // Written only when it holds something: older files of the kinds that carry it this way
        // have no such attribute, and an empty one would change them on every save.
        WrittenWhenSet = 0x8,
    };

    QString name;
    Type type = String;
    int flags = Stored;
    // What a freshly constructed record holds, in the form value() gives.
    QVariant defaultValue;
    // What an absent or empty attribute reads as; invalid: the zero value of the type.
    QVariant emptyValue;
    // The range a value takes effect in (numbers); invalid bounds are open. Values outside are
    // kept as read, but the panel ignores them or clamps them where it uses them.
    QVariant minimum;
    QVariant maximum;
    // The texts a keyword knows; the record reads any other text as its neutral value.
    QStringList choices;
    // The typed value (QString, int, double or bool; a keyword as its text) and its assignment
    // through the record's setter, so that derived fields follow as they do for any caller.
    std::function<QVariant(const BaseControlV1 &)> value;
    std::function<void(BaseControlV1 &, const QVariant &)> assign;

    bool isRead() const { return flags & Read; }
    bool isWritten() const { return flags & Written; }
    bool isImage() const { return flags & Image; }
    // Whether the writer puts the attribute into the element for this value.
    bool isWrittenWith(const QVariant &v) const
    {
        return isWritten() && (!(flags & WrittenWhenSet) || !v.toString().isEmpty());
    }

    ControlAttribute &withRange(const QVariant &low, const QVariant &high)
    {
        minimum = low;
        maximum = high;
        return *this;
    }
    ControlAttribute &withFlags(int f)
    {
        flags = f;
        return *this;
    }
    ControlAttribute &withEmptyValue(const QVariant &v)
    {
        emptyValue = v;
        return *this;
    }

    // An attribute bound to a getter and a setter of record class C; the type follows from the
    // getter (QString, int, double or bool).
    template<typename C, typename T, typename S>
    static ControlAttribute field(const char *name, T (C::*get)() const, void (C::*set)(S),
                                  const QVariant &defaultValue, int flags = Stored)
    {
        using Value = std::decay_t<S>;
        static_assert(std::is_same<std::decay_t<T>, Value>::value, "getter and setter differ");
        ControlAttribute a;
        a.name = QLatin1String(name);
        a.type = typeOf<Value>();
        a.flags = flags;
        a.defaultValue = defaultValue;
        a.value = [get](const BaseControlV1 &c) {
            return QVariant::fromValue((static_cast<const C &>(c).*get)());
        };
        a.assign = [set](BaseControlV1 &c, const QVariant &v) {
            (static_cast<C &>(c).*set)(v.value<Value>());
        };
        return a;
    }

    // A keyword: the record gives its text and converts a text it is given.
    template<typename C>
    static ControlAttribute keyword(const char *name, QString (C::*get)() const,
                                    void (C::*set)(const QString &), const QString &defaultValue,
                                    const QStringList &choices)
    {
        ControlAttribute a = field(name, get, set, defaultValue);
        a.type = Keyword;
        a.choices = choices;
        return a;
    }

private:
    template<typename Value> static constexpr Type typeOf()
    {
        static_assert(std::is_same<Value, QString>::value || std::is_same<Value, int>::value ||
                          std::is_same<Value, double>::value || std::is_same<Value, bool>::value,
                      "attribute values are strings, integers, doubles or booleans");
        return std::is_same<Value, int>::value      ? Integer
               : std::is_same<Value, double>::value ? Real
               : std::is_same<Value, bool>::value   ? Boolean
                                                    : String;
    }
};

// What a control kind is: its element in the project files, its record class and attributes,
// and its binding to controller memory. One description per kind; ControlKinds lists them.
struct ControlKind
{
    // What the kind's element is to the reader and the writer.
    enum class Element {
        Control,    // a record is created, read and written
        Scene,      // a scene caption of the page, not a record
        Recognised, // known to the reader, which creates nothing; never written
        None,       // no element: the kind exists only in memory
    };

    int kind = 0;
    // The element tag; empty for kinds without an element.
    QString tag;
    Element element = Element::None;
    // A record with the kind's defaults; null for kinds without a record.
    std::function<BaseControlV1 *()> create;
    // Attributes in the order they are written. No two of them set the same field and the
    // derived fields (an address from a number, the fetch length) come out the same in any
    // order, so reading goes through them in this order too.
    QVector<ControlAttribute> attributes;
    // Bound to a window of controller memory, and the bytes of the kind's own value there.
    bool controllerBound = false;
    int dataLength = 0;
    // Bit controls: several may share one byte.
    bool bits = false;
    // The bytes of controller memory the control's value occupies, which may be fewer than it
    // reads (a byte control of type BYTE); 0 when it occupies none. Null: its data length.
    std::function<int(const BaseControlV1 &)> valueBytes;

    // A kind whose records are of class C, with its element tag and data length.
    template<typename C> static ControlKind ofRecord(int kind, const char *tag, int dataLength = 0)
    {
        ControlKind k;
        k.kind = kind;
        k.tag = QLatin1String(tag);
        k.element = Element::Control;
        k.create = [] { return static_cast<BaseControlV1 *>(new C); };
        k.controllerBound = ControlConstants::isControllerBound(kind);
        k.dataLength = dataLength;
        return k;
    }

    bool hasRecord() const { return element == Element::Control; }
    const ControlAttribute *attribute(const QString &name) const
    {
        for (const ControlAttribute &a : attributes) {
            if (a.name == name)
                return &a;
        }
        return nullptr;
    }
};

// Attributes that many kinds share, bound to the base classes' fields.
namespace ControlAttributes {
ControlAttribute name(int flags = ControlAttribute::Stored);
// The caption, under the element's own attribute name (`cityName`, `camname`).
ControlAttribute caption(const char *attributeName = "textB");
// posX, posY and zIndex.
QVector<ControlAttribute> position();
// name, textB, posX, posY and zIndex: how most kinds start.
QVector<ControlAttribute> common();
ControlAttribute byteAddress();
// The value width of byte controls and sliders: "BYTE", "WORD" or "DWORD".
ControlAttribute typeD();
} // namespace ControlAttributes
