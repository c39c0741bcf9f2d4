#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Edits under SIGKILL: `savekill edit` loads the demo home through the application core with its
# autosave on and makes an edit every 200 ms; it is killed at a random moment, again and again.
# After each kill every file must parse and be one version that was written (old or new, never a
# mix), and every edit made more than two seconds before the kill must be in the files.
# Usage: editkill.sh [KILLS [BUILD_DIR]]     default 500 kills and ./build
# EDIT_DEADLINE_MS (default 2000) is how old an edit may be at the kill before it must be written.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
kills="${1:-500}"
deadline="${EDIT_DEADLINE_MS:-2000}"
build="$(cd "${2:-$root/build}" && pwd)"
case "$kills" in '' | *[!0-9]*) echo "usage: editkill.sh [KILLS [BUILD_DIR]]" >&2; exit 2 ;; esac
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
# shellcheck source=bench/soak/killcommon.sh
source "$here/killcommon.sh"

bad=0
edits=0
worst=0
for k in $(seq "$kills"); do
    "$tool" edit "$dir" > "$work/run.log" 2>&1 &
    pid=$!
    for _ in $(seq 500); do
        grep -q '^loaded' "$work/run.log" 2>/dev/null && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.01
    done
    # Anywhere from the first edit to well past the two seconds an edit may wait.
    sleep "$((RANDOM % 4)).$(printf '%03d' $((RANDOM % 1000)))"
    killed_at="$(date +%s%3N)"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if ! out="$("$tool" check "$dir" "$base")"; then
        bad=$((bad + 1))
        echo "kill $k:"
        echo "$out"
        keep="$(mktemp -d)"
        cp -a "$dir" "$work/run.log" "$keep/" && echo "the files and the run's log are kept in $keep"
        continue
    fi
    # The oldest generation any file holds, against the newest edit older than two seconds.
    held="$(printf '%s\n' "$out" | sed -n 's/^ok generation [0-9]*: //p' | tr ' ' '\n' |
        sed -n 's/.*=//p' | sort -n | head -1)"
    due="$(awk -v limit=$((killed_at - deadline)) '$1 == "edit" && $3 <= limit { n = $2 } END { print n + 0 }' "$work/run.log")"
    made="$(awk '$1 == "edit" { n++ } END { print n + 0 }' "$work/run.log")"
    edits=$((edits + made))
    if [ "${held:-0}" -lt "$due" ]; then
        bad=$((bad + 1))
        echo "kill $k: the files hold generation $held, but generation $due was made more than $deadline ms before the kill"
    fi
    # How long the oldest edit not yet in the files had waited at the kill.
    waited="$(awk -v held="${held:-0}" -v at="$killed_at" '$1 == "edit" && $2 == held + 1 { print at - $3 }' "$work/run.log")"
    [ -n "$waited" ] && [ "$waited" -gt "$worst" ] && worst=$waited
done
leftovers=$(find "$dir" -type f ! -name '*.xml' | wc -l)
echo "kills: $kills, edits made: $edits, files broken, mixed or missing an edit older than $deadline ms: $bad," \
    "longest an edit had waited unwritten at a kill: $worst ms, temporary files left behind: $leftovers"
[ "$bad" -eq 0 ]
