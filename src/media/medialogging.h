// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QLoggingCategory>

// The media subsystem's logging category: warnings only unless enabled by rules.
Q_DECLARE_LOGGING_CATEGORY(lcMedia)
