// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "subsupdate.h"

#include <QList>

// Plans the block reads of a room: the windows, sorted by register (ties keep their order), are
// walked in address order and grouped into blocks that span at most `maxBlockBytes` bytes. A
// window larger than the limit (or empty) is never read. The blocks carry no data yet.
QList<SubsUpdate> planBlockReads(QList<SubsUpdateItem> windows, int maxBlockBytes);
