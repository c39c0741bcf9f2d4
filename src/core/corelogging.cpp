// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "corelogging.h"

Q_LOGGING_CATEGORY(lcCore, "verandix.core", QtWarningMsg)
