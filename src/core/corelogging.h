// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QLoggingCategory>

// Logging category of the application core: start-up, settings, language tables (warnings only
// by default).
Q_DECLARE_LOGGING_CATEGORY(lcCore)
