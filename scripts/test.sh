#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Sets up the machine, builds the normal and the sanitizer trees and runs the whole suite in both.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# The sound tests play through the real audio stack: a PulseAudio server with a null sink.
# shellcheck source=scripts/audio.sh
source "$root/scripts/audio.sh"
start_null_audio
trap stop_null_audio EXIT

status=0
for kind in normal asan; do
    dir="$root/build"
    [ "$kind" = asan ] && dir="$root/build-asan"
    echo "== building ($kind)"
    "$root/scripts/build.sh" "$kind"
    echo "== testing ($kind)"
    (cd "$dir" && ctest --output-on-failure -j "$(nproc)" --timeout 600) || status=1
done
exit $status
