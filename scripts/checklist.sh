# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Sourced by the package and install checks: `check DESCRIPTION COMMAND...` runs the command
# quietly, prints "ok" or "FAIL" with the description and counts the failures in $failures.
failures=0
check() {
    local what="$1"
    shift
    if "$@" >/dev/null 2>&1; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        failures=$((failures + 1))
    fi
}
