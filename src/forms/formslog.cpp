// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "formslog.h"

Q_LOGGING_CATEGORY(lcForms, "verandix.forms", QtWarningMsg)
