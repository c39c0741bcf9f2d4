// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "requestplanner.h"

#include <algorithm>

QList<SubsUpdate> planBlockReads(QList<SubsUpdateItem> windows, int maxBlockBytes)
{
    // Stable, so that controls sharing a register keep their list order inside the block.
    std::stable_sort(windows.begin(), windows.end(),
                     [](const SubsUpdateItem &a, const SubsUpdateItem &b) {
                         return a.registerNumber < b.registerNumber;
                     });

    QList<SubsUpdate> blocks;
    for (const SubsUpdateItem &item : qAsConst(windows)) {
        const int size = item.fetchLength;
        if (size > maxBlockBytes || size <= 0 || item.registerNumber < 0)
            continue;
        bool open = blocks.isEmpty();
        if (!open) {
            // Wide arithmetic: registers come from project files and may be absurd.
            const qint64 span = size + (qint64(item.registerNumber) - blocks.last().start) * 2;
            open = span > maxBlockBytes;
        }
        if (open) {
            SubsUpdate block;
            block.start = block.end = item.registerNumber;
            blocks.append(block);
        }
        SubsUpdate &block = blocks.last();
        block.end = qMax(block.end, item.registerNumber + (size + 1) / 2);
        block.byteCount = (block.end - block.start) * 2;
        block.items.append(item);
    }
    return blocks;
}
