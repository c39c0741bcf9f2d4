// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "cameracontrolv1.h"

#include "controlkind.h"

CameraControlV1::CameraControlV1() {}

CameraControlV1::~CameraControlV1() = default;

QVector<ControlAttribute> CameraControlV1::cameraAttributes()
{
    using A = ControlAttribute;
    using C = CameraControlV1;
    // The caption is the camera's name. The name goes into the file only when there is one.
    QVector<A> attributes{ControlAttributes::name(A::Stored | A::WrittenWhenSet),
                          ControlAttributes::caption("camname"),
                          A::field("ipaddress", &C::ipaddress, &C::setIpaddress, QString())};
    attributes += ControlAttributes::position();
    attributes += {
        A::field("width", &C::width, &C::setWidth, 300),
        A::field("height", &C::height, &C::setHeight, 300),
        A::field("showptz", &C::showptz, &C::setShowptz, false),
        A::field("port", &C::port, &C::setPort, QString()),
        A::field("initial", &C::initial, &C::setInitial, QString()),
        A::field("ptzMoveLeft", &C::ptzMoveLeft, &C::setPtzMoveLeft, QString()),
        A::field("ptzMoveRight", &C::ptzMoveRight, &C::setPtzMoveRight, QString()),
        A::field("ptzMoveUp", &C::ptzMoveUp, &C::setPtzMoveUp, QString()),
        A::field("ptzMoveDown", &C::ptzMoveDown, &C::setPtzMoveDown, QString()),
        A::field("ptzMoveHome", &C::ptzMoveHome, &C::setPtzMoveHome, QString()),
        A::field("ptzZoomIn", &C::ptzZoomIn, &C::setPtzZoomIn, QString()),
        A::field("ptzZoomOut", &C::ptzZoomOut, &C::setPtzZoomOut, QString()),
        A::field("login", &C::login, &C::setLogin, QString()),
        A::field("password", &C::password, &C::setPassword, QString()),
        A::field("fps", &C::fps, &C::setFps, 0),
        A::field("showRound", &C::showRound, &C::setShowRound, false),
    };
    return attributes;
}
