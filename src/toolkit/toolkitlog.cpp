// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "toolkitlog.h"

Q_LOGGING_CATEGORY(lcToolkit, "verandix.toolkit", QtWarningMsg)
