// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "modellogging.h"

Q_LOGGING_CATEGORY(lcModel, "verandix.model", QtWarningMsg)
