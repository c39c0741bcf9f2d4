#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Edits are written by the autosave, not at exit: a short run of the edit-under-kill soak
# (20 kills) checks that files stay old or new and hold every edit older than a few seconds (two
# in the long run; more here, where the suite shares the machine with other builds).
# Usage: editkill_short.sh BUILD_DIR      exits 77 (skipped) when the helpers were not built
set -euo pipefail
build="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
if [ ! -x "$build/bench/soak/savekill" ] || [ ! -x "$build/tools/demogen/verandix-demogen" ]; then
    echo "SKIP: savekill or verandix-demogen not built"
    exit 77
fi
EDIT_DEADLINE_MS=5000 exec bash "$root/bench/soak/editkill.sh" 20 "$build"
