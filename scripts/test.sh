#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Sets up the machine, builds the normal and the sanitizer trees and runs the whole suite in both,
# then the tests labelled "tsan" (the link thread against the GUI thread) under ThreadSanitizer.
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

# Qt is not instrumented: tests/tsan.supp explains the few hand-overs inside Qt it cannot see.
# QT_NO_GLIB: Qt's own event dispatcher instead of the (uninstrumented) GLib main loop.
echo "== building (tsan)"
"$root/scripts/build.sh" tsan
echo "== testing (tsan)"
(cd "$root/build-tsan" &&
    QT_NO_GLIB=1 \
    TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=$root/tests/tsan.supp" \
    ctest -L tsan --output-on-failure -j "$(nproc)" --timeout 600) || status=1

# Every parser of outside input, fuzzed for a few seconds on its corpus (scripts/fuzz.sh runs
# them for longer).
echo "== fuzzing (smoke)"
"$root/scripts/fuzz.sh" --smoke || status=1
exit $status
