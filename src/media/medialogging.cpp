// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "medialogging.h"

Q_LOGGING_CATEGORY(lcMedia, "verandix.media", QtWarningMsg)
