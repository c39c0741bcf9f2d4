// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "bridgelogging.h"

Q_LOGGING_CATEGORY(lcBridge, "verandix.bridge", QtWarningMsg)
