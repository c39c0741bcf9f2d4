// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "recordinglinkcommands.h"

// The room screens' tests know the recording stand-in for the link by this name.
using RoomRecordingLink = RecordingLinkCommands;
