// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Room screen figures: (1) a room of 50 controls over its plan, from construction to the first
// complete paint, next to painting the plan picture alone; (2) latency from a lamp register
// changed in a loopback fake controller to the lamp widget showing it, with the real link.
#include "controlerdata.h"
#include "eimagewidget.h"
#include "extlightwidget.h"
#include "extroomformv1.h"
#include "fakecontroller.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "roomstructv1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QPainter>
#include <QSignalSpy>
#include <QTextStream>
#include <algorithm>

namespace {

constexpr QSize kScreen(1280, 740);

QImage planPicture()
{
    QImage plan(1280, 695, QImage::Format_RGB32);
    QPainter p(&plan);
    QLinearGradient g(0, 0, 1280, 695);
    g.setColorAt(0, QColor(30, 40, 60));
    g.setColorAt(1, QColor(80, 60, 50));
    p.fillRect(plan.rect(), g);
    p.setPen(QPen(Qt::white, 4));
    for (int i = 0; i < 12; ++i)
        p.drawRect(40 + i * 100, 40, 90, 600);
    return plan;
}

void render(QGraphicsScene &scene)
{
    QImage target(kScreen, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::black);
    QPainter p(&target);
    scene.render(&p, QRectF(QPointF(), kScreen), QRectF(QPointF(), kScreen));
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void showFigures(QTextStream &out)
{
    const QImage plan = planPicture();
    std::vector<double> room, planOnly;
    for (int run = 0; run < 10; ++run) {
        {
            QGraphicsScene scene;
            auto *image = new EImageWidget;
            image->setFillMode(EImageWidget::Stretch);
            scene.addItem(image);
            QElapsedTimer t;
            t.start();
            image->setImage(plan);
            image->setGeometry(QRectF(0, 45, 1280, 695));
            render(scene);
            planOnly.push_back(t.nsecsElapsed() / 1e6);
        }
        RoomStructV1 page;
        page.setSystemType(BaseRoomV1::LightSystem);
        for (int i = 0; i < 50; ++i) {
            const QPointF pos(15 + (i % 10) * 8, 10 + (i / 10) * 17);
            if (i % 5 == 4)
                page.createHeat(QStringLiteral("h%1").arg(i), QStringLiteral("Heat"), pos);
            else if (i % 5 == 3)
                page.createSwitch(QStringLiteral("s%1").arg(i), QStringLiteral("Switch"), pos);
            else {
                auto *lamp =
                    page.createLight(QStringLiteral("l%1").arg(i), QStringLiteral("Lamp"), pos);
                lamp->setDimmer(i % 2 == 0);
            }
        }
        QGraphicsScene scene;
        QElapsedTimer t;
        t.start();
        auto *form = new ExtRoomFormV1(&page);
        scene.addItem(form);
        form->plan()->setImage(plan);
        form->setGeometry(QRectF(QPointF(), kScreen));
        render(scene);
        room.push_back(t.nsecsElapsed() / 1e6);
        delete form;
    }
    out << "show room of 50 controls to first paint: median " << median(room) << " ms; plan alone "
        << median(planOnly) << " ms (10 runs)\n";
}

void latencyFigures(QTextStream &out)
{
    FakeController controller;
    if (!controller.start()) {
        out << "latency: no loopback port\n";
        return;
    }
    constexpr int kPollMs = 200;
    RoomStructV1 page;
    page.setSystemType(BaseRoomV1::LightSystem);
    auto *lamp = page.createLight(QStringLiteral("lamp"), QStringLiteral("Lamp"), {40, 40});
    lamp->setImageOn(QStringLiteral("on.png"));
    lamp->setImageOff(QStringLiteral("off.png"));
    const int reg = lamp->firstRegister(0);

    ControlerData link;
    link.setIpAdressAndPort(QStringLiteral("127.0.0.1"), controller.port());
    link.setIpAdress2(QStringLiteral("127.0.0.1"));
    link.SetControlerOffset(0);
    link.SetUpdateTimeout(kPollMs);
    link.start();
    QGraphicsScene scene;
    auto *form = new ExtRoomFormV1(&page);
    form->setLink(&link);
    scene.addItem(form);
    form->setGeometry(QRectF(QPointF(), kScreen));
    form->hide();
    form->show();
    auto *widget = qobject_cast<ExtLightWidget *>(form->widgetById(lamp->runtimeId()));
    QSignalSpy polled(&link, &ControlerData::ReadyUpdateControls);
    QElapsedTimer wait;
    wait.start();
    while (polled.count() < 2 && wait.elapsed() < 10000)
        polled.wait(100);

    std::vector<double> samples;
    bool on = false;
    for (int i = 0; i < 40; ++i) {
        on = !on;
        QByteArray record(8, '\0');
        record[0] = char(on ? 1 : 0);
        QElapsedTimer t;
        t.start();
        controller.setBytes(reg, record);
        const QString want = on ? lamp->imageOn() : lamp->imageOff();
        while (widget->imageName() != want && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // The widget has its picture; the repaint is the next paint of the scene.
        render(scene);
        samples.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(samples.begin(), samples.end());
    out << "register change to lamp repainted: median " << samples[samples.size() / 2]
        << " ms, worst " << samples.back() << " ms, poll period " << kPollMs
        << " ms (40 changes)\n";
    delete form;
    link.shutdown();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    showFigures(out);
    latencyFigures(out);
    return 0;
}
