// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Hands out controller memory to the demo's controls and keeps the table that documents it.
// Lamps and thermostats live at the addresses their numbers give; every other control gets bytes
// of its own from the block of its subsystem, except where sharing is the point (bits of one
// contact byte, the buttons of one mode byte). Conflicts are reported, not silently resolved.
class AddressPlan
{
public:
    struct Entry
    {
        QString file;
        QString page;
        QString control;
        QString tag;
        int byteAddress = 0;
        int length = 0; // bytes of the control's value
        int bit = -1;   // bit controls
        bool shared = false;
    };

    AddressPlan();
    ~AddressPlan();

    // Start of a subsystem's block; following allocations come from it.
    void beginBlock(const QString &file, int firstByte, int size);
    // Next free address of the block, aligned to a register (even), `length` bytes reserved.
    int allocate(int length);

    void add(const Entry &entry);
    const QList<Entry> &entries() const;

    // Overlaps between controls that are not meant to share, lamp or thermostat numbers used
    // twice, blocks that ran out of room. Empty when the plan is sound.
    QStringList problems() const;
    QString markdown() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
