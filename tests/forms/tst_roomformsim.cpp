// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// A demo room screen with the real controller link against the simulated home: a click on a lamp
// reaches the simulator, and a change made at the controller shows on the lamp.
#include "controlerdata.h"
#include "eimagewidget.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "extlightwidget.h"
#include "extroomformv1.h"
#include "formservices.h"
#include "lightcontrolv1.h"
#include "roomsv1.h"
#include "screentestsupport.h"
#include "unisettings.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <modbus.h>

namespace {
constexpr int kStartTimeoutMs = 15000;
constexpr int kFollowTimeoutMs = 10000;
} // namespace

class tst_RoomFormSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void lampClickReachesTheControllerAndBack();
    void addedLampIsPolledAndSwitchableAtOnce();

private:
    // The first lighting room with a lamp, that lamp, and the register offset of the settings.
    bool firstLampRoom(BaseRoomV1 **room, LightControlV1 **lamp, int *offset);
    // Starts `link` against the simulator and shows `room` on a new screen polled by it, once the
    // link is connected and has answered twice (a command sent earlier would be dropped).
    ExtRoomFormV1 *showLive(BaseRoomV1 *room, int offset, ControlerData *link, int *polled);
    int lampByte(int offset, const LightControlV1 *lamp) const
    {
        return 2 * offset + lamp->byteAddress() + lamp->oddOffset();
    }

    int readByte(int byteAddress);
    bool writeByte(int byteAddress, quint8 value);

    ScreenFixture *m_fx = nullptr;
    QProcess m_sim;
    int m_port = 0;
    modbus_t *m_ctx = nullptr;
};

void tst_RoomFormSim::initTestCase()
{
    m_fx = new ScreenFixture;
    QVERIFY(m_fx->loadDemo());
    m_sim.setProgram(QStringLiteral(HOMESIM_PATH));
    // No timeline: the home changes only when told to.
    m_sim.setArguments({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                        QStringLiteral("--config"), m_fx->folder(), QStringLiteral("--quiet")});
    m_sim.start();
    QVERIFY(m_sim.waitForStarted(kStartTimeoutMs));
    QElapsedTimer timer;
    timer.start();
    while (m_port == 0 && timer.elapsed() < kStartTimeoutMs) {
        if (!m_sim.canReadLine() && !m_sim.waitForReadyRead(int(kStartTimeoutMs - timer.elapsed())))
            break;
        while (m_sim.canReadLine()) {
            const QString line = QString::fromUtf8(m_sim.readLine()).trimmed();
            if (line.startsWith(QLatin1String("listening on ")))
                m_port = line.section(QLatin1Char(':'), -1).toInt();
        }
    }
    QVERIFY2(m_port > 0, m_sim.readAllStandardError().constData());
    m_ctx = modbus_new_tcp("127.0.0.1", m_port);
    QVERIFY(m_ctx);
    QCOMPARE(modbus_connect(m_ctx), 0);
}

void tst_RoomFormSim::cleanupTestCase()
{
    if (m_ctx) {
        modbus_close(m_ctx);
        modbus_free(m_ctx);
        m_ctx = nullptr;
    }
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        if (!m_sim.waitForFinished(5000)) {
            m_sim.kill();
            m_sim.waitForFinished(5000);
        }
    }
    delete m_fx;
    m_fx = nullptr;
}

int tst_RoomFormSim::readByte(int byteAddress)
{
    uint16_t word = 0;
    if (modbus_read_registers(m_ctx, byteAddress / 2, 1, &word) != 1)
        return -1;
    return byteAddress % 2 ? (word >> 8) : (word & 0xff);
}

bool tst_RoomFormSim::writeByte(int byteAddress, quint8 value)
{
    uint16_t word = 0;
    if (modbus_read_registers(m_ctx, byteAddress / 2, 1, &word) != 1)
        return false;
    word = byteAddress % 2 ? uint16_t((word & 0x00ff) | (value << 8))
                           : uint16_t((word & 0xff00) | value);
    return modbus_write_registers(m_ctx, byteAddress / 2, 1, &word) == 1;
}

bool tst_RoomFormSim::firstLampRoom(BaseRoomV1 **room, LightControlV1 **lamp, int *offset)
{
    RoomsV1 *rooms = FormServices::rooms();
    if (!rooms)
        return false;
    *room = nullptr;
    *lamp = nullptr;
    for (BaseRoomV1 *page : rooms->pagesOfType(BaseRoomV1::LightSystem)) {
        for (BaseControlV1 *c : page->controls()) {
            if (!*lamp && !c->isDeleted() && page->kind() == BaseRoomV1::KindRoom)
                *lamp = dynamic_cast<LightControlV1 *>(c);
        }
        if (*lamp && !*room)
            *room = page;
    }
    const std::optional<int> value = ControlerData::registerOffsetFromText(
        ECoreApp::instance()->settings().value(EAppSettings::Offset).toString());
    *offset = value.value_or(-1);
    return *room && *lamp && *offset >= 0;
}

ExtRoomFormV1 *tst_RoomFormSim::showLive(BaseRoomV1 *room, int offset, ControlerData *link,
                                         int *polled)
{
    link->setIpAdressAndPort(QStringLiteral("127.0.0.1"), quint16(m_port));
    link->setIpAdress2(QStringLiteral("127.0.0.1"));
    link->SetControlerOffset(offset);
    link->SetUpdateTimeout(100);
    link->start();

    auto *form = new ExtRoomFormV1(room);
    // Counted in this thread (queued): a signal spy would record in the link thread.
    connect(link, &ControlerData::ReadyUpdateControls, form, [polled] { ++*polled; });
    form->setLink(link);
    m_fx->place(form);
    // The caller checks the outcome; here only the wait.
    (void)QTest::qWaitFor([&] { return link->isReady() && *polled >= 2; }, kFollowTimeoutMs);
    return form;
}

void tst_RoomFormSim::lampClickReachesTheControllerAndBack()
{
    BaseRoomV1 *room = nullptr;
    LightControlV1 *lamp = nullptr;
    int offset = -1;
    QVERIFY(firstLampRoom(&room, &lamp, &offset));
    const int lampByte = this->lampByte(offset, lamp);
    QVERIFY(writeByte(lampByte, quint8(readByte(lampByte) & ~1)));

    ControlerData link;
    int polled = 0;
    ExtRoomFormV1 *form = showLive(room, offset, &link, &polled);
    QVERIFY(link.isReady() && polled >= 2);
    auto *widget = qobject_cast<ExtLightWidget *>(form->widgetById(lamp->runtimeId()));
    QVERIFY(widget);
    QCOMPARE(lamp->lampState(), 1);
    QCOMPARE(widget->imageName(), lamp->imageOff());

    // A person's click switches the lamp on in the controller; the next poll shows it.
    m_fx->click(widget, widget->imageRect().isEmpty() ? widget->rect().center()
                                                      : widget->imageRect().center());
    QTRY_VERIFY_WITH_TIMEOUT(readByte(lampByte) & 1, kFollowTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(widget->imageName(), lamp->imageOn(), kFollowTimeoutMs);

    // Switched off at the controller: the lamp follows within a poll or two.
    QVERIFY(writeByte(lampByte, quint8(readByte(lampByte) & ~1)));
    QTRY_COMPARE_WITH_TIMEOUT(widget->imageName(), lamp->imageOff(), kFollowTimeoutMs);

    // Hidden, the page is no longer polled: a change at the controller stays off the widget.
    form->hide();
    QTRY_VERIFY(!form->isActive());
    // Once the link has taken the close and answers already on their way are delivered, no
    // further answer comes.
    QMetaObject::invokeMethod(
        &link, [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::processEvents();
    const int afterClose = polled;
    QVERIFY(!QTest::qWaitFor([&] { return polled > afterClose; }, 600));

    delete form;
    link.shutdown();
}

// A lamp added in edit mode and given a free number is polled and switchable at once, without
// leaving the page: the room goes to the link as a new copy with every edit.
void tst_RoomFormSim::addedLampIsPolledAndSwitchableAtOnce()
{
    BaseRoomV1 *room = nullptr;
    LightControlV1 *existing = nullptr;
    int offset = -1;
    QVERIFY(firstLampRoom(&room, &existing, &offset));
    int highest = 0;
    for (BaseRoomV1 *page : FormServices::rooms()->pagesOfType(BaseRoomV1::LightSystem)) {
        for (BaseControlV1 *c : page->controls()) {
            if (auto *l = dynamic_cast<LightControlV1 *>(c))
                highest = qMax(highest, l->lmpNumber());
        }
    }

    ControlerData link;
    int polled = 0;
    ExtRoomFormV1 *form = showLive(room, offset, &link, &polled);
    QVERIFY(link.isReady() && polled >= 2);
    const int before = room->controlCount();
    // A spot on the plan that no widget covers: a press there places the new lamp.
    QPointF spot(-1, -1);
    const QRectF area = form->plan()->boundingRect();
    for (qreal y = area.height() * 0.1; y < area.height() * 0.9 && spot.x() < 0; y += 10) {
        for (qreal x = area.width() * 0.1; x < area.width() * 0.9 && spot.x() < 0; x += 10) {
            const QPointF at = form->plan()->mapToScene(QPointF(x, y));
            const QList<QGraphicsItem *> under = form->scene()->items(at);
            if (!under.isEmpty() && under.first() == form->plan())
                spot = QPointF(x, y);
        }
    }
    QVERIFY(spot.x() >= 0);
    form->lightAddClick();
    m_fx->click(form, form->plan()->mapToItem(form, spot));
    QTRY_COMPARE(room->controlCount(), before + 1);
    auto *added = dynamic_cast<LightControlV1 *>(room->controlAt(before));
    QVERIFY(added);

    form->ShowSettings();
    m_fx->click(form->widgetById(added->runtimeId()));
    QTRY_VERIFY(form->settingsPanel() && form->settingsPanel()->isVisible());
    form->settingsPanel()->setFieldValue(UniSettings::Number, highest + 1);
    m_fx->click(form->settingsPanel()->saveButton());
    QTRY_COMPARE(added->lmpNumber(), highest + 1);
    const int addedByte = lampByte(offset, added);
    QVERIFY(writeByte(addedByte, 0));

    // Polled: a change at the controller shows on the new lamp.
    auto *widget = qobject_cast<ExtLightWidget *>(form->widgetById(added->runtimeId()));
    QVERIFY(widget);
    QVERIFY(writeByte(addedByte, 1));
    QTRY_COMPARE_WITH_TIMEOUT(widget->imageName(), added->imageOn(), kFollowTimeoutMs);
    QVERIFY(writeByte(addedByte, 0));
    QTRY_COMPARE_WITH_TIMEOUT(widget->imageName(), added->imageOff(), kFollowTimeoutMs);

    // Switchable: a person's click reaches the controller at the new lamp's address.
    m_fx->click(widget, widget->imageRect().isEmpty() ? widget->rect().center()
                                                      : widget->imageRect().center());
    QTRY_VERIFY_WITH_TIMEOUT(readByte(addedByte) & 1, kFollowTimeoutMs);

    delete form;
    link.shutdown();
    // The demo stays as loaded for whatever runs next.
    added->setDeleted(true);
    room->setModified(false);
}

QTEST_MAIN(tst_RoomFormSim)
#include "tst_roomformsim.moc"
