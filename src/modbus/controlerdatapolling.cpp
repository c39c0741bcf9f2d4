// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The poll tick of the controller link: status block, the blocks of the room shown, the lamps'
// room numbers, the scene area and the blocks of the background set that are due.
#include "controlerdata.h"
#include "controlerdata_p.h"
#include "linkhandover.h"

#include "baseroomv1.h"
#include "controlconstants.h"
#include "dynamiccontrolv1.h"
#include "modbusconstants.h"
#include "requestplanner.h"
#include "statusdecoding.h"

using namespace ModbusLink;

void ControlerData::ControlerDataPrivate::planRoom(int offset)
{
    requests = planBlockReads(room.windows(offset), kMaxBlockBytes);
    ++planGeneration;
    publishRequests();
}

namespace {

// Lamps of a lighting room carry the number of their room page in record byte 5: keep it up to
// date so that the controller's room commands reach the right lamps. True if a byte changed.
bool correctLampRooms(const RoomSnapshot &room, int offset, QList<SubsUpdate> *blocks)
{
    const char roomNumber = char(room.pageNumber & 0xFF);
    bool changed = false;
    for (SubsUpdate &block : *blocks) {
        if (block.data.isEmpty())
            continue;
        for (const RoomControlWindow &c : room.controls) {
            if (c.kind != ControlConstants::KindLight || c.deleted)
                continue;
            const int reg = DynamicControlV1::firstRegister(offset, c.byteAddress);
            if (reg < block.start || reg >= block.end)
                continue;
            const int p = c.oddOffset + (reg - block.start) * 2 + kLampRoom;
            if (p < block.data.size() && block.data.at(p) != roomNumber) {
                block.data[p] = roomNumber;
                changed = true;
            }
        }
    }
    return changed;
}

} // namespace

void ControlerData::TimerCNT()
{
    VERANDIX_LINK_ONLY()
    if (d->terminating) {
        stopMainTimer();
        return;
    }
    const int offset = d->registerOffset;
    if (offset < 0)
        return;
    if (!isSocketConnected()) {
        d->ready = false;
        reconnectToControler();
        // Back at once: read in this tick, so the screens show the controller's state the moment
        // it returns instead of a whole poll period after the top bar says "connected".
        if (!isSocketConnected())
            return;
    }

    const QByteArray status = getModbusData(offset + kStatusWord, kStatusBlockBytes);
    if (!decodeStatusBlock(status, &d->variables))
        return;
    d->ready = true;
    LinkHandOver::publish();
    emit ReadyUpdateAlerts(d->variables);

    if (!d->requests.isEmpty()) {
        // The reads may lose the connection and a reconnect may plan the room anew; the blocks
        // read here then belong to the old plan and are dropped.
        const quint64 generation = d->planGeneration;
        QList<SubsUpdate> blocks = d->requests;
        for (SubsUpdate &block : blocks) {
            block.data.clear();
            block.data.append(getModbusData(block.start, block.byteCount));
        }
        if (generation != d->planGeneration)
            return;
        d->requests = blocks;
        d->publishRequests();
        LinkHandOver::publish();
        emit ReadyUpdateControls(blocks, offset);

        if (d->room.systemType == BaseRoomV1::LightSystem &&
            correctLampRooms(d->room, offset, &d->requests)) {
            for (const SubsUpdate &block : qAsConst(d->requests))
                setModbusData(block.start, block.data);
            d->publishRequests();
        }
    }

    if (d->scenesRequested) {
        decodeSceneArea(getModbusData(offset + kSceneAreaWord, kSceneAreaBytes), &d->scenes);
        LinkHandOver::publish();
        emit ReadyUpdateScenes(d->scenes);
    }

    readBackgroundBlocks(offset);
}

void ControlerData::readBackgroundBlocks(int offset)
{
    // Only after the shown page's reads, so the page a person looks at is read every period
    // whatever the background set holds. The period is counted in ticks (never more than it
    // allows, one at least), and a round is spread evenly over them: as few blocks per tick as
    // finish it in time. Counting ticks keeps the plan steady when a timer fires a little early.
    auto &bg = d->background;
    const int count = bg.blocks.size();
    if (count == 0)
        return;
    const int ticksPerRound = qMax(1, bg.periodMs / qMax(1, updateTimeout()));
    if (bg.ticksSinceRound >= 0)
        ++bg.ticksSinceRound;
    if (bg.next < 0) {
        if (bg.ticksSinceRound >= 0 && bg.ticksSinceRound < ticksPerRound)
            return;
        bg.next = 0;
        bg.ticksSinceRound = 0;
    }
    const int perTick = (count + ticksPerRound - 1) / ticksPerRound;
    const quint64 generation = bg.generation;
    for (int i = 0; i < perTick && bg.next < count; ++i) {
        const int start = bg.blocks.at(bg.next).start;
        const int byteCount = bg.blocks.at(bg.next).byteCount;
        const QByteArray data = getModbusData(start, byteCount);
        // A reconnect may have planned the set anew meanwhile: its round starts over.
        if (generation != bg.generation)
            return;
        bg.blocks[bg.next++].data = data;
    }
    if (bg.next < count)
        return;
    bg.next = -1;
    LinkHandOver::publish();
    emit ReadyUpdateBackground(bg.blocks, offset);
}

void ControlerData::socketStateHook(int state)
{
    BaseTCPModbus::socketStateHook(state);
    if (state == QAbstractSocket::ConnectedState && d->room.valid)
        d->planRoom(d->registerOffset);
    if (state == QAbstractSocket::ConnectedState && d->background.set.valid &&
        d->registerOffset >= 0)
        d->planBackground(d->registerOffset);
}
