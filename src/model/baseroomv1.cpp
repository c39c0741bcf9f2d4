// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "baseroomv1.h"

#include "avcamcontrolv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "controlkinds.h"
#include "dyntextcontrolv1.h"
#include "heatcontrolv1.h"
#include "hslidercontrolv1.h"
#include "ipcamcontrolv1.h"
#include "lightcontrolv1.h"
#include "resbtcontrolv1.h"
#include "sensorcontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"
#include "textcontrolv1.h"
#include "textwritecontrolv1.h"
#include "vslidercontrolv1.h"
#include "weathercontrolv1.h"

#include <QAtomicInteger>

namespace {

template<typename Control>
Control *createOn(BaseRoomV1 *page, const QString &name, const QString &textB,
                  const QPointF &position)
{
    Control *control = Control::create(name, textB, position).release();
    page->addControl(control);
    return control;
}

} // namespace

BaseRoomV1::BaseRoomV1() = default;

BaseRoomV1::~BaseRoomV1()
{
    qDeleteAll(m_controls);
}

int BaseRoomV1::kind() const
{
    return KindBase;
}

namespace {
// Pages live in the GUI thread only; so do these counters.
quint64 s_modificationCount = 0;
quint64 s_writeCount = 0;
} // namespace

void BaseRoomV1::setModified(bool on)
{
    m_modified = on;
    if (on)
        ++s_modificationCount;
}

quint64 BaseRoomV1::modificationCount()
{
    return s_modificationCount;
}

quint64 BaseRoomV1::writeCount()
{
    return s_writeCount;
}

void BaseRoomV1::noteWritten()
{
    ++s_writeCount;
}

QString BaseRoomV1::newRuntimeId()
{
    // A counter rather than object addresses: addresses are reused after a page or control is
    // destroyed, and a stale widget must never find a new record under its old name.
    static QAtomicInteger<quint64> counter(0);
    return QStringLiteral("rst") + QString::number(++counter);
}

void BaseRoomV1::setPosX(double x)
{
    m_posX = x < 0 ? 0 : x;
}

void BaseRoomV1::setZIndex(double z)
{
    // Written so that NaN is rejected as well.
    if (z >= 0 && z <= 1)
        m_zIndex = z;
}

int BaseRoomV1::addControl(BaseControlV1 *control)
{
    Q_ASSERT(control);
    if (!control)
        return -1;
    Q_ASSERT(!m_controls.contains(control));
    if (m_controls.contains(control))
        return m_controls.indexOf(control);
    control->setRuntimeId(newRuntimeId());
    control->setDeleted(false);
    m_controls.append(control);
    return m_controls.size() - 1;
}

SwitchControlV1 *BaseRoomV1::createSwitch(const QString &name, const QString &textB,
                                          const QPointF &position)
{
    return createOn<SwitchControlV1>(this, name, textB, position);
}

SensorControlV1 *BaseRoomV1::createSensor(const QString &name, const QString &textB,
                                          const QPointF &position)
{
    return createOn<SensorControlV1>(this, name, textB, position);
}

TextControlV1 *BaseRoomV1::createText(const QString &name, const QString &textB,
                                      const QPointF &position)
{
    return createOn<TextControlV1>(this, name, textB, position);
}

SystemControlV1 *BaseRoomV1::createSystem(const QString &name, const QString &textB,
                                          const QPointF &position)
{
    return createOn<SystemControlV1>(this, name, textB, position);
}

WeatherControlV1 *BaseRoomV1::createWeather(const QString &name, const QString &textB,
                                            const QPointF &position)
{
    return createOn<WeatherControlV1>(this, name, textB, position);
}

IpCamControlV1 *BaseRoomV1::createIpCam(const QString &name, const QString &textB,
                                        const QPointF &position)
{
    return createOn<IpCamControlV1>(this, name, textB, position);
}

AVCamControlV1 *BaseRoomV1::createAVCam(const QString &name, const QString &textB,
                                        const QPointF &position)
{
    return createOn<AVCamControlV1>(this, name, textB, position);
}

BoolControlV1 *BaseRoomV1::createBool(const QString &name, const QString &textB,
                                      const QPointF &position)
{
    return createOn<BoolControlV1>(this, name, textB, position);
}

BtnControlV1 *BaseRoomV1::createBtn(const QString &name, const QString &textB,
                                    const QPointF &position)
{
    return createOn<BtnControlV1>(this, name, textB, position);
}

ByteControlV1 *BaseRoomV1::createByte(const QString &name, const QString &textB,
                                      const QPointF &position)
{
    return createOn<ByteControlV1>(this, name, textB, position);
}

HeatControlV1 *BaseRoomV1::createHeat(const QString &name, const QString &textB,
                                      const QPointF &position)
{
    return createOn<HeatControlV1>(this, name, textB, position);
}

LightControlV1 *BaseRoomV1::createLight(const QString &name, const QString &textB,
                                        const QPointF &position)
{
    return createOn<LightControlV1>(this, name, textB, position);
}

ResbtControlV1 *BaseRoomV1::createResbt(const QString &name, const QString &textB,
                                        const QPointF &position)
{
    return createOn<ResbtControlV1>(this, name, textB, position);
}

DynTextControlV1 *BaseRoomV1::createDynText(const QString &name, const QString &textB,
                                            const QPointF &position)
{
    return createOn<DynTextControlV1>(this, name, textB, position);
}

TextWriteControlV1 *BaseRoomV1::createTextWrite(const QString &name, const QString &textB,
                                                const QPointF &position)
{
    return createOn<TextWriteControlV1>(this, name, textB, position);
}

HSliderControlV1 *BaseRoomV1::createHSlider(const QString &name, const QString &textB,
                                            const QPointF &position)
{
    return createOn<HSliderControlV1>(this, name, textB, position);
}

VSliderControlV1 *BaseRoomV1::createVSlider(const QString &name, const QString &textB,
                                            const QPointF &position)
{
    return createOn<VSliderControlV1>(this, name, textB, position);
}

BaseControlV1 *BaseRoomV1::createControl(int kind, const QString &name, const QString &textB,
                                         const QPointF &position)
{
    const ControlKind *description = ControlKinds::byKind(kind);
    if (!description || !description->hasRecord())
        return nullptr;
    BaseControlV1 *control = description->create();
    control->setName(name);
    control->setTextB(textB);
    control->setPosX(position.x());
    control->setPosY(position.y());
    addControl(control);
    return control;
}

BaseControlV1 *BaseRoomV1::controlById(const QString &runtimeId) const
{
    for (BaseControlV1 *control : m_controls) {
        if (control->runtimeId() == runtimeId)
            return control;
    }
    return nullptr;
}

int BaseRoomV1::indexById(const QString &runtimeId) const
{
    for (int i = 0; i < m_controls.size(); ++i) {
        if (m_controls.at(i)->runtimeId() == runtimeId)
            return i;
    }
    return -1;
}

BaseControlV1 *BaseRoomV1::controlAt(int index) const
{
    if (index < 0 || index >= m_controls.size())
        return nullptr;
    return m_controls.at(index);
}

SensorControlV1 *BaseRoomV1::sensorByNumber(int number) const
{
    for (BaseControlV1 *control : m_controls) {
        auto *sensor = dynamic_cast<SensorControlV1 *>(control);
        if (sensor && sensor->snrNumber() == number)
            return sensor;
    }
    return nullptr;
}

SwitchControlV1 *BaseRoomV1::switchByNumber(int number) const
{
    for (BaseControlV1 *control : m_controls) {
        auto *wallSwitch = dynamic_cast<SwitchControlV1 *>(control);
        if (wallSwitch && wallSwitch->swcNumber() == number)
            return wallSwitch;
    }
    return nullptr;
}

QList<LightControlV1 *> BaseRoomV1::lampsOfSensor(int number) const
{
    // Lamp records hold sensor and switch numbers in single bytes.
    const quint8 wanted = quint8(number & 0xff);
    QList<LightControlV1 *> lamps;
    for (BaseControlV1 *control : m_controls) {
        auto *lamp = dynamic_cast<LightControlV1 *>(control);
        if (lamp && lamp->sensorNumber() == wanted)
            lamps.append(lamp);
    }
    return lamps;
}

QList<LightControlV1 *> BaseRoomV1::lampsOfSwitch(int number) const
{
    const quint8 wanted = quint8(number & 0xff);
    QList<LightControlV1 *> lamps;
    for (BaseControlV1 *control : m_controls) {
        auto *lamp = dynamic_cast<LightControlV1 *>(control);
        if (!lamp)
            continue;
        if (lamp->switch1() == wanted || lamp->switch2() == wanted || lamp->switch3() == wanted)
            lamps.append(lamp);
    }
    return lamps;
}

QList<SwitchControlV1 *> BaseRoomV1::switches() const
{
    QList<SwitchControlV1 *> result;
    for (BaseControlV1 *control : m_controls) {
        if (auto *wallSwitch = dynamic_cast<SwitchControlV1 *>(control))
            result.append(wallSwitch);
    }
    return result;
}

void BaseRoomV1::markChanged(int index, bool flag)
{
    BaseControlV1 *control = controlAt(index);
    if (!control || control->isDeleted() || !control->isControllerBound())
        return;
    static_cast<DynamicControlV1 *>(control)->setChanged(flag);
}

void BaseRoomV1::clearChanged()
{
    for (BaseControlV1 *control : m_controls) {
        if (!control->isDeleted() && control->isControllerBound())
            static_cast<DynamicControlV1 *>(control)->setChanged(false);
    }
}

void BaseRoomV1::applyAnswer(const QList<SubsUpdate> &answer, int registerOffset)
{
    if (answer.isEmpty())
        return;
    // Switch and sensor states exist only as reported by lamp records: forget the last answer's
    // first, so a switch or sensor that no lamp names any more falls back to its neutral state.
    for (BaseControlV1 *control : m_controls) {
        if (auto *wallSwitch = dynamic_cast<SwitchControlV1 *>(control))
            wallSwitch->setSwitchMode(0);
        else if (auto *sensor = dynamic_cast<SensorControlV1 *>(control))
            sensor->setSensorState(3);
    }
    for (BaseControlV1 *control : qAsConst(m_controls)) {
        if (control->isDeleted() || !control->isControllerBound())
            continue;
        auto *bound = static_cast<DynamicControlV1 *>(control);
        const int reg = bound->firstRegister(registerOffset);
        for (const SubsUpdate &block : answer) {
            if (block.data.isEmpty() || reg < block.start || reg >= block.end)
                continue;
            const qint64 offset = qMax<qint64>(0, 2 * (qint64(reg) - block.start));
            const int from = int(qMin<qint64>(offset, block.data.size()));
            bound->setData(block.data.mid(from, bound->fetchLength()));
            bound->decode(bound->fetchLength(), this);
        }
    }
}
