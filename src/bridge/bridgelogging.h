// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QLoggingCategory>

// The hub bridge's one logging category ("verandix.bridge"), warnings only by default.
Q_DECLARE_LOGGING_CATEGORY(lcBridge)
