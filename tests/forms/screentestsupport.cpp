// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "screentestsupport.h"

#include "cameracontrolv1.h"
#include "controlconstants.h"
#include "demofolder.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "formservices.h"
#include "roomsv1.h"
#include "weatherdata.h"

#include <QFile>
#include <QGraphicsWidget>
#include <QProcess>
#include <QTcpSocket>
#include <QTest>

ScreenFixture::ScreenFixture()
{
    registerControllerTypes();
    ECoreApp::destroyInstance();
    ECoreApp *app = ECoreApp::instance();
    auto *rooms = new RoomsV1;
    app->setProjectModel(rooms, rooms);
    m_view.setScene(&m_scene);
    m_view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view.setFrameShape(QFrame::NoFrame);
    m_view.resize(1280, 740);
    m_scene.setSceneRect(0, 0, 1280, 740);
}

ScreenFixture::~ScreenFixture()
{
    m_scene.clear();
    ECoreApp::destroyInstance();
}

bool ScreenFixture::loadSettings(const QString &settingsBody)
{
    QFile file(m_dir.filePath(QStringLiteral("config.xml")));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(
        QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config version=\"2\">\n") +
        settingsBody.toUtf8() + QByteArrayLiteral("\n</config>\n"));
    file.close();
    ECoreApp::instance()->setSettingsFilePath(m_dir.path());
    ECoreApp::instance()->loadConfiguration(m_dir.path());
    return ECoreApp::instance()->settings().isLoaded();
}

bool ScreenFixture::loadDemo()
{
    if (!DemoFolder::unpack(m_dir.path()))
        return false;
    // As a standard configuration: the demo start would unpack into a shared temporary folder.
    ECoreApp::instance()->setSettingsFilePath(m_dir.path());
    ECoreApp::instance()->loadConfiguration(m_dir.path());
    return ECoreApp::instance()->settings().isLoaded();
}

void ScreenFixture::place(QGraphicsWidget *form)
{
    m_scene.addItem(form);
    form->setGeometry(QRectF(0, 0, 1280, 740));
    form->hide();
    form->show();
    m_view.show();
    // Let the layouts settle before anything is clicked.
    QCoreApplication::processEvents();
}

void ScreenFixture::click(QGraphicsWidget *item)
{
    click(item, item->rect().center());
}

void ScreenFixture::click(QGraphicsWidget *item, const QPointF &local)
{
    const QPoint at = m_view.mapFromScene(item->mapToScene(local));
    QTest::mouseClick(m_view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

SilentServer::~SilentServer()
{
    dropConnections();
}

bool SilentServer::listen()
{
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        return false;
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket *s = m_server.nextPendingConnection())
            m_held << s;
    });
    WeatherData::setDefaultInformerPrefix(
        QStringLiteral("http://127.0.0.1:%1/xml/").arg(m_server.serverPort()));
    return true;
}

void SilentServer::takeCameras()
{
    const QString port = QString::number(m_server.serverPort());
    for (BaseRoomV1 *page : FormServices::rooms()->pages()) {
        for (BaseControlV1 *c : page->controls()) {
            if (c->kind() == ControlConstants::KindIpCam ||
                c->kind() == ControlConstants::KindAVCam) {
                auto *camera = static_cast<CameraControlV1 *>(c);
                camera->setIpaddress(QStringLiteral("//127.0.0.1"));
                camera->setPort(port);
            }
        }
    }
}

void SilentServer::dropConnections()
{
    qDeleteAll(m_held);
    m_held.clear();
}

QStringList checkerProblems(const QString &folder)
{
#ifdef VERANDIX_CHECK_PATH
    QProcess process;
    process.start(QStringLiteral(VERANDIX_CHECK_PATH), {folder});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {QStringLiteral("failed")};
    QStringList problems;
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("  - ")))
            problems << line.mid(4);
    }
    return problems;
#else
    Q_UNUSED(folder)
    return {};
#endif
}
