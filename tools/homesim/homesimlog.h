// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "homesimconstants.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcHomeSim)
