// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QLoggingCategory>

// The screens' logging category ("verandix.forms"), warnings only by default. Its debug lines
// tell where the loading sequence and the navigation are, for a person or a script watching the
// running program from outside: QT_LOGGING_RULES="verandix.forms.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcForms)
