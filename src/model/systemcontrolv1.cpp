// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "systemcontrolv1.h"

#include "controlkind.h"

SystemControlV1::SystemControlV1() {}

SystemControlV1::~SystemControlV1() = default;

SystemControlV1 *SystemControlV1::clone() const
{
    return new SystemControlV1(*this);
}

int SystemControlV1::kind() const
{
    return ControlConstants::KindSystem;
}

std::unique_ptr<SystemControlV1> SystemControlV1::create(const QString &name, const QString &textB,
                                                         const QPointF &position)
{
    return createControl<SystemControlV1>(name, textB, position);
}

const ControlKind &SystemControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        using A = ControlAttribute;
        using C = SystemControlV1;
        ControlKind k =
            ControlKind::ofRecord<C>(ControlConstants::KindSystem, ControlConstants::kTagSystem);
        // The editor shows the file name in place of the name; the name goes into the file only
        // when there is one.
        k.attributes = {ControlAttributes::name(A::Stored | A::WrittenWhenSet),
                        A::field("fileName", &C::fileName, &C::setFileName, QString()),
                        ControlAttributes::caption()};
        k.attributes += ControlAttributes::position();
        k.attributes += {
            A::keyword("systType", &C::systTypeText, &C::setSystType, QString(),
                       RoomConstantsV1::formTexts()),
            A::field("image", &C::image, &C::setImage, QString(), A::Stored | A::Image),
        };
        return k;
    }();
    return kind;
}
