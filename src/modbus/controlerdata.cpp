// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The controller link's lifecycle, its configuration and the selection of what it polls.
#include "controlerdata.h"
#include "controlerdata_p.h"

#include "eappsettings.h"
#include "modbusconstants.h"
#include "modbuslog.h"

using namespace ModbusLink;

ControlerData::ControlerData(QObject *parent)
    : BaseTCPModbus(parent), d(std::make_unique<ControlerDataPrivate>())
{
    registerControllerTypes();
    d->commands = std::make_unique<LinkCommandQueue>(this);
    d->backgroundCommands =
        std::make_unique<LinkCommandQueue>(this, LinkCommandQueue::Target::Background);
    for (int i = 0; i < kGlobalSceneCount; ++i)
        d->scenes.activators.append(GActivators());
}

LinkCommands &ControlerData::commands()
{
    return *d->commands;
}

LinkCommands &ControlerData::backgroundCommands()
{
    return *d->backgroundCommands;
}

ControlerData::~ControlerData()
{
    // The link thread runs the virtual methods of this class: end it while they still exist.
    ControlerData::shutdown();
}

void ControlerData::shutdown()
{
    if (isRunning())
        QMetaObject::invokeMethod(this, "terminateMainThread", Qt::QueuedConnection);
    BaseTCPModbus::shutdown();
}

void ControlerData::linkStopping()
{
    terminateMainThread();
    d->ready = false;
}

std::optional<int> ControlerData::registerOffsetFromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == QLatin1String("-1"))
        return kNoPolling;
    bool ok = false;
    // Wide, so that a long hexadecimal text cannot come back as a wrapped small number.
    const qlonglong value = trimmed.toLongLong(&ok, 16);
    if (!ok || trimmed.startsWith(QLatin1Char('-')) || trimmed.startsWith(QLatin1Char('+')) ||
        value < 0 || value > kMaxRegisterOffset)
        return std::nullopt;
    return int(value);
}

void ControlerData::configure(const EAppSettings &settings, bool debugModbus)
{
    setIpAdressAndPort(settings.value(EAppSettings::IpAddress).toString(),
                       settings.value(EAppSettings::IpPort).toInt());
    setIpAdress2(settings.value(EAppSettings::IpAddress2).toString());
    setReadFunctionMB(settings.value(EAppSettings::ReadFunctionMb).toInt());
    SetUpdateTimeout(settings.value(EAppSettings::Timeout).toInt());
    applyRegisterOffset(settings.value(EAppSettings::Offset).toString());
    setReconnectOnTime(settings.value(EAppSettings::ReconnectTime).toInt());
    setIsDebugModbus(debugModbus);

    QList<AlertStruct> messages;
    for (const EAppSettings::MessageText &m : settings.messages()) {
        AlertStruct record;
        record.id = m.id;
        record.text = m.text;
        record.minimum = m.minimum;
        record.maximum = m.maximum;
        messages.append(record);
    }
    QList<ArchiveStruct> parameters;
    for (const EAppSettings::MessageText &p : settings.parameters()) {
        ArchiveStruct record;
        record.id = p.id;
        record.text = p.text;
        record.minimum = p.minimum;
        record.maximum = p.maximum;
        parameters.append(record);
    }
    setMessParameters(messages, parameters);
}

void ControlerData::applyRegisterOffset(const QString &text)
{
    const std::optional<int> offset = registerOffsetFromText(text);
    if (!offset) {
        // Guessing (0, or the low 16 bits) would poll and write unrelated registers.
        qCWarning(lcModbus).nospace()
            << "register offset \"" << text << "\" is not a hexadecimal register number "
            << "from 0 to " << Qt::hex << kMaxRegisterOffset << "; the controller is not polled";
    }
    SetControlerOffset(offset.value_or(kNoPolling));
}

void ControlerData::applyConnectionSettings(const EAppSettings &settings)
{
    const QString address = settings.value(EAppSettings::IpAddress).toString();
    const QString address2 = settings.value(EAppSettings::IpAddress2).toString();
    const int portNumber = settings.value(EAppSettings::IpPort).toInt();
    const bool peerChanged =
        address != primaryAddress() || address2 != secondaryAddress() || portNumber != port();
    // The setters queue into the link thread while it runs, so they land in this order, before
    // the reconnect below.
    setIpAdressAndPort(address, portNumber);
    setIpAdress2(address2);
    SetUpdateTimeout(settings.value(EAppSettings::Timeout).toInt());
    applyRegisterOffset(settings.value(EAppSettings::Offset).toString());
    setReconnectOnTime(settings.value(EAppSettings::ReconnectTime).toInt());
    if (peerChanged && isRunning())
        connectToControler();
}

int ControlerData::controlerOffset() const
{
    return d->registerOffset;
}

bool ControlerData::isReady() const
{
    return d->ready;
}

void ControlerData::setMessParameters(const QList<AlertStruct> &messages,
                                      const QList<ArchiveStruct> &parameters)
{
    VERANDIX_LINK_ENTRY(setMessParameters(messages, parameters))
    d->variables.messages = messages;
    d->variables.parameters = parameters;
}

void ControlerData::setRoom(const RoomSnapshot &room)
{
    VERANDIX_LINK_ENTRY(setRoom(room))
    if (!room.valid)
        return;
    d->forgetRoom();
    d->room = room;
    if (isSocketConnected())
        d->planRoom(d->registerOffset);
}

void ControlerData::closeRoom()
{
    VERANDIX_LINK_ENTRY(closeRoom())
    d->forgetRoom();
}

void ControlerData::SetCurrentScenesRoom()
{
    VERANDIX_LINK_ENTRY(SetCurrentScenesRoom())
    d->forgetRoom();
    d->scenesRequested = true;
}

void ControlerData::setBackground(const RoomSnapshot &set, int periodMs)
{
    VERANDIX_LINK_ENTRY(setBackground(set, periodMs))
    if (!set.valid) {
        clearBackground();
        return;
    }
    if (periodMs >= 0)
        d->background.periodMs = periodMs;
    d->background.set = set;
    d->background.blocks.clear();
    ++d->background.generation;
    if (isSocketConnected() && d->registerOffset >= 0)
        d->planBackground(d->registerOffset);
}

void ControlerData::clearBackground()
{
    VERANDIX_LINK_ENTRY(clearBackground())
    d->background.set = RoomSnapshot();
    d->background.blocks.clear();
    d->background.next = -1;
    ++d->background.generation;
}

void ControlerData::runOnBackground(const std::function<void()> &command)
{
    VERANDIX_LINK_ONLY()
    // The commands look controls up in `room` and work on the blocks of `requests`; the swap is
    // undone before anything else can run in the link thread.
    std::swap(d->room, d->background.set);
    std::swap(d->requests, d->background.blocks);
    d->onBackground = true;
    command();
    d->onBackground = false;
    std::swap(d->room, d->background.set);
    std::swap(d->requests, d->background.blocks);
}

QList<SubsUpdate> ControlerData::getRequest() const
{
    std::lock_guard<std::mutex> lock(d->publishedMutex);
    return d->publishedRequests;
}

void ControlerData::terminateMainThread()
{
    VERANDIX_LINK_ENTRY(terminateMainThread())
    d->forgetRoom();
    d->terminating = true;
}

void ControlerData::SetControlerOffset(int val)
{
    VERANDIX_LINK_ENTRY(SetControlerOffset(val))
    // A base outside the register map would make polls and commands wrap onto unrelated
    // registers: refused like a negative one, nothing is polled.
    if (val > kMaxRegisterOffset || val < kNoPolling) {
        qCWarning(lcModbus) << "register offset" << val << "is outside the register map";
        val = kNoPolling;
    }
    d->registerOffset = val;
    // The room's registers depend on the offset.
    if (d->room.valid && isSocketConnected())
        d->planRoom(val);
    if (d->background.set.valid && isSocketConnected() && val >= 0)
        d->planBackground(val);
}
