// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlerdata.h"
#include "controllertypes.h"
#include "linkcommandqueue.h"
#include "modbusconstants.h"
#include "requestplanner.h"
#include "roomsnapshot.h"

#include <QList>
#include <atomic>
#include <memory>
#include <mutex>

// The state of ControlerData, shared by its source files (lifecycle and room selection, polling,
// commands). Everything but the published values belongs to the link thread alone, so nothing
// here needs a lock while the link waits on the network.
struct ControlerData::ControlerDataPrivate
{
    // Link thread only.
    bool terminating = false;
    bool scenesRequested = false;
    RoomSnapshot room;
    QList<SubsUpdate> requests;
    // Counts the plans made: a poll that finds another plan in place after its reads (the socket
    // came back meanwhile) leaves the new one alone.
    quint64 planGeneration = 0;
    ScenesStruct scenes;
    ReservVariables variables;

    // The background read set: read besides the shown room, a whole round at most once per
    // period, spread over the ticks of the period. `blocks` holds the data of the latest reads; the
    // commands of backgroundCommands() work on it and on `set` as the shown room's commands do on
    // `room` and `requests`.
    struct Background
    {
        RoomSnapshot set;
        QList<SubsUpdate> blocks;
        int periodMs = 0;
        int next = -1;            // the block the round reads next; -1: no round under way
        int ticksSinceRound = -1; // ticks since the last round started; -1: none since planned
        quint64 generation = 0;
    } background;
    // True while a command of backgroundCommands() runs on the background set.
    bool onBackground = false;

    // Set once in the constructor; any thread may queue commands through it.
    std::unique_ptr<LinkCommandQueue> commands;
    std::unique_ptr<LinkCommandQueue> backgroundCommands;

    // Written in the link thread (or by the owner before start()), read by anyone.
    std::atomic<bool> ready{false};
    std::atomic<int> registerOffset{ModbusLink::kNoPolling};

    // The request list as last published for getRequest() from other threads. The lock is held
    // only to copy the list.
    mutable std::mutex publishedMutex;
    QList<SubsUpdate> publishedRequests;

    void publishRequests()
    {
        // While a background command runs, `requests` holds the background set's blocks: the
        // screens must go on seeing the shown room's.
        if (onBackground)
            return;
        std::lock_guard<std::mutex> lock(publishedMutex);
        publishedRequests = requests;
    }

    void forgetRoom()
    {
        scenesRequested = false;
        room = RoomSnapshot();
        requests.clear();
        ++planGeneration;
        publishRequests();
    }

    void planRoom(int offset);
    void planBackground(int offset)
    {
        background.blocks =
            planBlockReads(background.set.windows(offset), ModbusLink::kMaxBlockBytes);
        background.next = -1;
        background.ticksSinceRound = -1;
        ++background.generation;
    }

    // Commands (controlerdatacommands.cpp).
    bool readArea(ControlerData *q, int reg, int size, QByteArray *bytes);
    template<typename Edit> void areaCommand(ControlerData *q, int word, int size, Edit edit);
    template<typename Edit> void lightCommand(ControlerData *q, Edit edit)
    {
        areaCommand(q, ModbusLink::kLightCommandWord, ModbusLink::kLightCommandBytes, edit);
    }
    void roomCommand(ControlerData *q, int command, int roomNumber);
    void heatCommand(ControlerData *q, int command);
    template<typename Edit>
    void windowCommand(ControlerData *q, int index, std::initializer_list<int> kinds,
                       int minimumBytes, bool signal, Edit edit);
    void writeBackBlocks(ControlerData *q);
    template<typename Match> void toggleLamps(ControlerData *q, quint8 bit, Match match);
};
