// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "cameracontrolv1.h"
#include "controlconstants.h"

// An audio/video camera view.
class AVCamControlV1 : public CameraControlV1
{
public:
    AVCamControlV1();
    ~AVCamControlV1() override;

    AVCamControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<AVCamControlV1> create(const QString &name, const QString &textB,
                                                  const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

protected:
    AVCamControlV1(const AVCamControlV1 &) = default;
};
