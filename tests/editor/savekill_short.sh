#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Edits reach the disk only through the project save at exit: a short run of the save-under-kill
# soak (50 kills) checks that a program killed while saving leaves every file old or new.
# Usage: savekill_short.sh BUILD_DIR      exits 77 (skipped) when the helpers were not built
set -euo pipefail
build="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
if [ ! -x "$build/bench/soak/savekill" ] || [ ! -x "$build/tools/demogen/verandix-demogen" ]; then
    echo "SKIP: savekill or verandix-demogen not built"
    exit 77
fi
exec bash "$root/bench/soak/savekill.sh" 50 "$build"
