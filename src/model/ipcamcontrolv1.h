// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "cameracontrolv1.h"
#include "controlconstants.h"

// An MJPEG camera view.
class IpCamControlV1 : public CameraControlV1
{
public:
    IpCamControlV1();
    ~IpCamControlV1() override;

    IpCamControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<IpCamControlV1> create(const QString &name, const QString &textB,
                                                  const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

protected:
    IpCamControlV1(const IpCamControlV1 &) = default;
};
