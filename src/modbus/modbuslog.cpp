// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "modbuslog.h"

Q_LOGGING_CATEGORY(lcModbus, "verandix.modbus", QtWarningMsg)
