// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "ipcamcontrolv1.h"

#include "controlkind.h"

IpCamControlV1::IpCamControlV1() {}

IpCamControlV1::~IpCamControlV1() = default;

IpCamControlV1 *IpCamControlV1::clone() const
{
    return new IpCamControlV1(*this);
}

int IpCamControlV1::kind() const
{
    return ControlConstants::KindIpCam;
}

std::unique_ptr<IpCamControlV1> IpCamControlV1::create(const QString &name, const QString &textB,
                                                       const QPointF &position)
{
    return createControl<IpCamControlV1>(name, textB, position);
}

const ControlKind &IpCamControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        ControlKind k = ControlKind::ofRecord<IpCamControlV1>(ControlConstants::KindIpCam,
                                                              ControlConstants::kTagIpCam);
        k.attributes = cameraAttributes();
        return k;
    }();
    return kind;
}
