// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QLoggingCategory>

// The history library's one logging category; warnings only by default.
Q_DECLARE_LOGGING_CATEGORY(lcHistory)
