// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "dyntextcontrolv1.h"

#include "controlkind.h"
#include "controllertext.h"

#include "textcontrolv1.h"

DynTextControlV1::DynTextControlV1()
{
    setDataLength(ControlConstants::kDynamicDataLength);
}

DynTextControlV1::~DynTextControlV1() = default;

DynTextControlV1 *DynTextControlV1::clone() const
{
    return new DynTextControlV1(*this);
}

int DynTextControlV1::kind() const
{
    return ControlConstants::KindDynText;
}

std::unique_ptr<DynTextControlV1>
DynTextControlV1::create(const QString &name, const QString &textB, const QPointF &position)
{
    return createControl<DynTextControlV1>(name, textB, position);
}

const ControlKind &DynTextControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = DynTextControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindDynText, ControlConstants::kTagDynText,
                                     ControlConstants::kDynamicDataLength);
        k.attributes = ControlAttributes::common();
        k.attributes += {
            A::field("width", &C::width, &C::setWidth, 80),
            A::field("height", &C::height, &C::setHeight, 80),
            A::field("fontType", &C::fontType, &C::setFontType, 50),
            A::field("fontColor", &C::fontColor, &C::setFontColor, QStringLiteral("#FFFFFF")),
            A::field("fontFamily", &C::fontFamily, &C::setFontFamily, QStringLiteral("Arial"))
                .withEmptyValue(QStringLiteral("Arial")),
            A::field("fontSize", &C::fontSize, &C::setFontSize, 12),
            A::field("showRound", &C::showRound, &C::setShowRound, true),
            ControlAttributes::byteAddress(),
            A::keyword("textAlign", &C::textAlignText, &C::setTextAlign, QStringLiteral("center"),
                       TextControlV1::alignmentTexts()),
            // The number of text bytes: the data length, which 0 or less leaves as it is.
            A::field("maximum", &C::maximum, &C::setMaximum, ControlConstants::kDynamicDataLength)
                .withRange(1, QVariant()),
        };
        return k;
    }();
    return kind;
}

void DynTextControlV1::setTextAlign(const QString &text)
{
    m_textAlign = TextControlV1::alignmentFromText(text);
}

QString DynTextControlV1::textAlignText() const
{
    return TextControlV1::alignmentToText(m_textAlign);
}

void DynTextControlV1::decode(int minimumLength, BaseRoomV1 *page)
{
    Q_UNUSED(page)
    const QByteArray bytes = decodableBytes(minimumLength);
    if (bytes.isEmpty())
        return;
    // The controller pads texts with zero bytes; the text ends at the first one.
    m_text = ControllerText::decode(bytes);
}
