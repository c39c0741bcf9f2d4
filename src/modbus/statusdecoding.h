// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controllertypes.h"

#include <QByteArray>

// Decoding of what the link reads at fixed places: the status block and the scene area. Pure
// functions of the bytes and the records they update.

// Decodes a 60-byte status block into `variables`: sound (and whether it changed), parameter
// bytes and values, alarm count, controller time, the current message and the record it
// matches, security state and page selection. False (and nothing changed) for a short block.
bool decodeStatusBlock(const QByteArray &status, ReservVariables *variables);

// Decodes the 240-byte scene area (missing bytes read as 0) into the names and the global scene
// definitions of `scenes`; the current activators stay as they are.
void decodeSceneArea(const QByteArray &area, ScenesStruct *scenes);
