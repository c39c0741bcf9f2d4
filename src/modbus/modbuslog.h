// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QLoggingCategory>

// The controller link's one logging category ("verandix.modbus"), warnings only by default.
Q_DECLARE_LOGGING_CATEGORY(lcModbus)
