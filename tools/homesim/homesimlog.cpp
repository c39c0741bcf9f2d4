// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "homesimlog.h"

Q_LOGGING_CATEGORY(lcHomeSim, "verandix.homesim", QtWarningMsg)
