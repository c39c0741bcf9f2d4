// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "historylogging.h"

Q_LOGGING_CATEGORY(lcHistory, "verandix.history", QtWarningMsg)
