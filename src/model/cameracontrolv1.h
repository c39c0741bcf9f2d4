// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basecontrolv1.h"
#include "controlconstants.h"

#include <QVector>

struct ControlAttribute;

// Fields shared by the two camera kinds; the caption (textB) holds the camera name.
class CameraControlV1 : public BaseControlV1
{
public:
    ~CameraControlV1() override;

    // The attributes both camera kinds store, in the order they are written.
    static QVector<ControlAttribute> cameraAttributes();

    QString ipaddress() const { return m_ipaddress; }
    void setIpaddress(const QString &value) { m_ipaddress = value; }
    QString port() const { return m_port; }
    void setPort(const QString &value) { m_port = value; }
    QString initial() const { return m_initial; }
    void setInitial(const QString &value) { m_initial = value; }
    QString ptzMoveLeft() const { return m_ptzMoveLeft; }
    void setPtzMoveLeft(const QString &value) { m_ptzMoveLeft = value; }
    QString ptzMoveRight() const { return m_ptzMoveRight; }
    void setPtzMoveRight(const QString &value) { m_ptzMoveRight = value; }
    QString ptzMoveUp() const { return m_ptzMoveUp; }
    void setPtzMoveUp(const QString &value) { m_ptzMoveUp = value; }
    QString ptzMoveDown() const { return m_ptzMoveDown; }
    void setPtzMoveDown(const QString &value) { m_ptzMoveDown = value; }
    QString ptzMoveHome() const { return m_ptzMoveHome; }
    void setPtzMoveHome(const QString &value) { m_ptzMoveHome = value; }
    QString ptzZoomIn() const { return m_ptzZoomIn; }
    void setPtzZoomIn(const QString &value) { m_ptzZoomIn = value; }
    QString ptzZoomOut() const { return m_ptzZoomOut; }
    void setPtzZoomOut(const QString &value) { m_ptzZoomOut = value; }
    QString login() const { return m_login; }
    void setLogin(const QString &value) { m_login = value; }
    QString password() const { return m_password; }
    void setPassword(const QString &value) { m_password = value; }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; }
    int height() const { return m_height; }
    void setHeight(int value) { m_height = value; }
    int fps() const { return m_fps; }
    void setFps(int value) { m_fps = value; }
    bool showptz() const { return m_showptz; }
    void setShowptz(bool value) { m_showptz = value; }
    bool showRound() const { return m_showRound; }
    void setShowRound(bool value) { m_showRound = value; }

protected:
    CameraControlV1();
    CameraControlV1(const CameraControlV1 &) = default;

private:
    QString m_ipaddress;
    QString m_port;
    QString m_initial;
    QString m_ptzMoveLeft;
    QString m_ptzMoveRight;
    QString m_ptzMoveUp;
    QString m_ptzMoveDown;
    QString m_ptzMoveHome;
    QString m_ptzZoomIn;
    QString m_ptzZoomOut;
    QString m_login;
    QString m_password;
    int m_width = 300;
    int m_height = 300;
    int m_fps = 0;
    bool m_showptz = false;
    bool m_showRound = false;
};
