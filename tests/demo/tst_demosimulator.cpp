// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The simulator started with the demo's configuration and timeline serves every control of the
// demo, as an independent Modbus client (libmodbus) sees it.
#include "demofolder.h"
#include "simulatorprocess.h"

#include "baseroomv1.h"
#include "controlconstants.h"
#include "dyntextcontrolv1.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "roomsv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"

#include <QTemporaryDir>
#include <QtTest>

#include <modbus.h>

namespace {

using namespace ControlConstants;
constexpr int kStartTimeoutMs = 15000;

int byteAt(const QByteArray &bytes, int index)
{
    return index >= 0 && index < bytes.size() ? quint8(bytes.at(index)) : -1;
}

} // namespace

class tst_DemoSimulator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void servesEveryControllerBoundControl();
    void lampsFollowTheirRoomsSwitchesAndSensors();
    void textsAndSetPointsAreInPlace();
    // Last: it rewrites bytes, so the timeline's start values must have been checked before.
    void valuesWrittenReadBack();

private:
    // Bytes of controller memory from `byteAddress` on, through whole registers.
    QByteArray readBytes(int byteAddress, int count);
    bool writeByte(int byteAddress, quint8 value);
    QList<const DynamicControlV1 *> boundControls() const;

    QTemporaryDir m_folder;
    RoomsV1 m_rooms;
    SimulatorProcess m_sim{QStringLiteral(HOMESIM_PATH)};
    modbus_t *m_ctx = nullptr;
};

void tst_DemoSimulator::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(DemoFolder::unpack(m_folder.path()));
    QVERIFY(m_rooms.load(m_folder.path(), DemoFolder::projectFiles(m_folder.path())));

    QVERIFY2(
        m_sim.start({QStringLiteral("--config"), m_folder.path(), QStringLiteral("--scenario"),
                     QStringLiteral(DEMO_SOURCE_DIR "/demo.scenario"), QStringLiteral("--quiet")},
                    kStartTimeoutMs),
        qPrintable(m_sim.errorString()));
    const int port = m_sim.port();

    m_ctx = modbus_new_tcp("127.0.0.1", port);
    QVERIFY(m_ctx);
    QCOMPARE(modbus_connect(m_ctx), 0);
}

void tst_DemoSimulator::cleanupTestCase()
{
    if (m_ctx) {
        modbus_close(m_ctx);
        modbus_free(m_ctx);
        m_ctx = nullptr;
    }
    m_sim.stop();
}

QByteArray tst_DemoSimulator::readBytes(int byteAddress, int count)
{
    const int first = byteAddress / 2;
    const int registers = (byteAddress % 2 + count + 1) / 2;
    QVector<uint16_t> words(registers);
    if (modbus_read_registers(m_ctx, first, registers, words.data()) != registers)
        return QByteArray();
    QByteArray bytes;
    for (uint16_t w : words)
        bytes.append(char(w & 0xff)).append(char(w >> 8));
    return bytes.mid(byteAddress % 2, count);
}

bool tst_DemoSimulator::writeByte(int byteAddress, quint8 value)
{
    uint16_t word = 0;
    if (modbus_read_registers(m_ctx, byteAddress / 2, 1, &word) != 1)
        return false;
    word = byteAddress % 2 ? uint16_t((word & 0x00ff) | (value << 8))
                           : uint16_t((word & 0xff00) | value);
    return modbus_write_registers(m_ctx, byteAddress / 2, 1, &word) == 1;
}

QList<const DynamicControlV1 *> tst_DemoSimulator::boundControls() const
{
    QList<const DynamicControlV1 *> out;
    for (BaseRoomV1 *page : m_rooms.pages()) {
        for (const BaseControlV1 *c : page->controls()) {
            if (isControllerBound(c->kind()))
                out << static_cast<const DynamicControlV1 *>(c);
        }
    }
    return out;
}

void tst_DemoSimulator::servesEveryControllerBoundControl()
{
    const QList<const DynamicControlV1 *> controls = boundControls();
    QVERIFY(controls.size() > 100);
    for (const DynamicControlV1 *c : controls) {
        // The panel reads each window from its even register boundary.
        const int registers = c->fetchLength() / 2;
        QVector<uint16_t> words(registers);
        QVERIFY2(modbus_read_registers(m_ctx, c->byteAddress() / 2, registers, words.data()) ==
                     registers,
                 qPrintable(QStringLiteral("%1 at byte %2").arg(c->textB()).arg(c->byteAddress())));
    }
}

void tst_DemoSimulator::valuesWrittenReadBack()
{
    // Plain memory behind bits, bytes, sliders and texts: what the panel writes, it reads back.
    for (const DynamicControlV1 *c : boundControls()) {
        if (c->kind() == KindLight || c->kind() == KindHeat)
            continue;
        const QByteArray before = readBytes(c->byteAddress(), 1);
        QCOMPARE(before.size(), 1);
        const quint8 probe = quint8(before.at(0)) ^ 0x5a;
        QVERIFY2(writeByte(c->byteAddress(), probe), qPrintable(c->textB()));
        QCOMPARE(byteAt(readBytes(c->byteAddress(), 1), 0), int(probe));
        QVERIFY(writeByte(c->byteAddress(), quint8(before.at(0))));
    }
}

void tst_DemoSimulator::lampsFollowTheirRoomsSwitchesAndSensors()
{
    int checked = 0;
    for (BaseRoomV1 *page : m_rooms.pagesOfType(BaseRoomV1::LightSystem)) {
        int firstSwitch = 0;
        int firstSensor = 0;
        QList<const LightControlV1 *> lamps;
        for (const BaseControlV1 *c : page->controls()) {
            if (c->kind() == KindSwitch && !firstSwitch)
                firstSwitch = static_cast<const SwitchControlV1 *>(c)->swcNumber();
            else if (c->kind() == KindSensor && !firstSensor)
                firstSensor = static_cast<const SensorControlV1 *>(c)->snrNumber();
            else if (c->kind() == KindLight)
                lamps << static_cast<const LightControlV1 *>(c);
        }
        for (int i = 0; i < lamps.size(); ++i) {
            const LightControlV1 *lamp = lamps.at(i);
            // The timeline binds the lamps as soon as the simulator starts.
            QTRY_COMPARE_WITH_TIMEOUT(byteAt(readBytes(lamp->byteAddress() + 1, 1), 0), firstSwitch,
                                      5000);
            if (firstSensor && i == 0)
                QCOMPARE(byteAt(readBytes(lamp->byteAddress() + 4, 1), 0), firstSensor);
            ++checked;
        }
    }
    QVERIFY(checked >= 20);
}

void tst_DemoSimulator::textsAndSetPointsAreInPlace()
{
    int texts = 0;
    for (const DynamicControlV1 *c : boundControls()) {
        if (c->kind() == KindDynText) {
            QTRY_VERIFY2_WITH_TIMEOUT(byteAt(readBytes(c->byteAddress(), c->dataLength()), 0) > 0,
                                      qPrintable(c->textB()), 5000);
            ++texts;
        } else if (c->kind() == KindHeat) {
            // Set-points are counted in 0.2 degree steps: 10 to 25 degrees.
            QTRY_VERIFY_WITH_TIMEOUT(byteAt(readBytes(c->byteAddress() + 1, 1), 0) >= 50, 5000);
            QVERIFY(byteAt(readBytes(c->byteAddress() + 1, 1), 0) <= 125);
        }
    }
    QVERIFY(texts >= 3);
}

QTEST_GUILESS_MAIN(tst_DemoSimulator)
#include "tst_demosimulator.moc"
