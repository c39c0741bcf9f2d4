#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Saves under SIGKILL: savekill rewrites config.xml and every project file of the demo home in
# rounds; it is killed at a random moment, again and again, and after each kill every file must
# parse and be exactly one version that was written (old or new, never a mix or a stub).
# Usage: savekill.sh [KILLS [BUILD_DIR]]     default 300 kills and ./build
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
kills="${1:-300}"
build="$(cd "${2:-$root/build}" && pwd)"
case "$kills" in '' | *[!0-9]*) echo "usage: savekill.sh [KILLS [BUILD_DIR]]" >&2; exit 2 ;; esac
# shellcheck source=bench/soak/killcommon.sh
source "$here/killcommon.sh"

bad=0
last=0
previous=""
for k in $(seq "$kills"); do
    "$tool" run "$dir" > "$work/run.log" 2>&1 &
    pid=$!
    if [ $((k % 4)) -eq 0 ]; then
        # Now and then a random moment from the start: during start-up, load or a round.
        sleep "0.$(printf '%03d' $((20 + RANDOM % 380)))"
    else
        # Mostly somewhere in the rounds of saves, which begin once the files are loaded.
        for _ in $(seq 500); do
            grep -q '^loaded' "$work/run.log" 2>/dev/null && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.01
        done
        sleep "0.$(printf '%03d' $((RANDOM % 300)))"
    fi
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if ! out="$("$tool" check "$dir" "$base")"; then
        bad=$((bad + 1))
        echo "kill $k:"
        echo "$out"
        keep="$(mktemp -d)"
        cp -a "$dir" "$keep/" && echo "the files are kept in $keep"
    fi
    # Old or new: no file may go back to a version older than the one the last check saw.
    gens="$(printf '%s\n' "$out" | sed -n 's/^[a-z]* generation [0-9]*: //p')"
    if [ -n "$previous" ] && ! awk -v a="$previous" -v b="$gens" 'BEGIN {
        n = split(a, x, " "); for (i = 1; i <= n; ++i) { split(x[i], kv, "="); old[kv[1]] = kv[2] }
        n = split(b, y, " "); for (i = 1; i <= n; ++i) {
            split(y[i], kv, "="); if (kv[2] + 0 < old[kv[1]] + 0) { print kv[1] " went back"; bad = 1 } }
        exit bad }'; then
        bad=$((bad + 1))
        echo "kill $k: a file went back to an older version ($previous -> $gens)"
    fi
    previous="$gens"
    last="$(printf '%s\n' "$out" | sed -n 's/^[a-z]* generation \([0-9]*\):.*/\1/p')"
done
leftovers=$(find "$dir" -type f ! -name '*.xml' | wc -l)
echo "kills: $kills, rounds saved: ${last:-0}, files broken or mixed: $bad," \
    "temporary files left behind: $leftovers"
[ "$bad" -eq 0 ]
