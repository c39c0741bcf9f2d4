// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QLoggingCategory>

// Logging category of the project model (warnings only by default).
Q_DECLARE_LOGGING_CATEGORY(lcModel)
