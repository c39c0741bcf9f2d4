// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "avcamcontrolv1.h"

#include "controlkind.h"

AVCamControlV1::AVCamControlV1() {}

AVCamControlV1::~AVCamControlV1() = default;

AVCamControlV1 *AVCamControlV1::clone() const
{
    return new AVCamControlV1(*this);
}

int AVCamControlV1::kind() const
{
    return ControlConstants::KindAVCam;
}

std::unique_ptr<AVCamControlV1> AVCamControlV1::create(const QString &name, const QString &textB,
                                                       const QPointF &position)
{
    return createControl<AVCamControlV1>(name, textB, position);
}

const ControlKind &AVCamControlV1::kindDescription()
{
    static const ControlKind kind = [] {
        ControlKind k = ControlKind::ofRecord<AVCamControlV1>(ControlConstants::KindAVCam,
                                                              ControlConstants::kTagAVCam);
        k.attributes = cameraAttributes();
        return k;
    }();
    return kind;
}
