#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Controller faults while the real program runs on a virtual display: the simulator killed and
# restarted on the same port, silent for 10 s, refusing connections for 10 s, then a peer that
# answers too late, with garbage and with broken frames. After each fault the program must still
# run, and must poll the status block again soon after the controller is back; the time from the
# controller's return to the first status read is measured on the simulator's clock.
# Usage: faults.sh [BUILD_DIR]     FAULTS_POLL=MS poll period (default 500);
#   FAULTS_SHOTS=DIR keeps screenshots of each fault (needs ImageMagick's import).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
poll="${FAULTS_POLL:-500}"
shots="${FAULTS_SHOTS:-}"

# shellcheck source=bench/soak/common.sh
source "$here/common.sh"
work="$(mktemp -d)"
trap cleanup_all EXIT
need_tools Xvfb xdotool
[ -x "$build/bench/soak/badpeer" ] || die "$build/bench/soak/badpeer is missing: build badpeer"
[ -z "$shots" ] || { command -v import >/dev/null || die "import (ImageMagick) is missing"; mkdir -p "$shots"; }

failures=0
report=()
note() { echo "$*"; report+=("$*"); }
bad() { note "FAIL: $*"; failures=$((failures + 1)); }

alive() { kill -0 "$panel" 2>/dev/null; }
check_alive() { alive || { bad "the program is gone after: $1"; exit 1; }; }
shot() { [ -z "$shots" ] || import -window root "$shots/$1.png" 2>/dev/null || true; }

# Milliseconds of the day of a simulator log line ("hh:mm:ss.zzz ...").
line_ms() { awk '{ split($1, t, ":"); printf "%d\n", ((t[1] * 60 + t[2]) * 60 + t[3]) * 1000 }'; }

# After line MARK of the simulator log: waits for a line matching PATTERN, then for the first
# status-block read after it, and prints the milliseconds between them (or nothing).
measure_return() {
    local mark="$1" pattern="$2" back read
    for _ in $(seq 300); do
        back="$(tail -n +"$((mark + 1))" "$work/sim.log" | grep -n -m1 -- "$pattern" || true)"
        if [ -n "$back" ]; then
            read="$(tail -n +"$((mark + ${back%%:*}))" "$work/sim.log" | grep -m1 ' read 0 30$' ||
                true)"
            [ -n "$read" ] && break
        fi
        sleep 0.1
    done
    [ -n "${read:-}" ] || return 0
    echo $(( $(echo "$read" | line_ms) - $(echo "${back#*:}" | line_ms) ))
}

judge_return() { # WHAT MS
    if [ -z "$2" ]; then
        bad "$1: the program never polled again"
    elif [ "$2" -le "$poll" ]; then
        note "$1: first status read ${2} ms after the controller's return (poll ${poll} ms): ok"
    else
        bad "$1: first status read ${2} ms after the controller's return, more than one poll (${poll} ms)"
    fi
}

make_home
start_sim 0 --scenario "$home/demo.scenario" --log-reads
patch_config "$poll"
start_display
# -modbus: the program logs every block it accepts, to tell accepted answers from refused ones.
QT_QPA_PLATFORM=xcb "$build/src/verandix" -config "$home" -modbus > "$work/panel.log" 2>&1 &
panel=$!
pids+=("$panel")
for _ in $(seq 300); do grep -q ' read 0 30$' "$work/sim.log" && break; sleep 0.1; done
grep -q ' read 0 30$' "$work/sim.log" || die "the program never polled the controller"
# A room with lamps on screen, so that room blocks are polled as well as the status block.
sim_say "set byte 32 22"
sleep 3
shot 0-connected

# 1. Killed without a word, restarted on the same port 10 s later.
mark=$(wc -l < "$work/sim.log")
kill -KILL "$sim"
wait "$sim" 2>/dev/null || true
exec 3>&-
sleep 8
shot 1-killed
check_alive "the controller was killed"
start_sim "$port" --scenario "$home/demo.scenario" --log-reads
judge_return "killed and restarted" "$(measure_return "$mark" 'register offset')"
check_alive "the controller was restarted"
sim_say "set byte 32 22"
sleep 3

# 2. Connections kept but nothing answered for 10 s.
mark=$(wc -l < "$work/sim.log")
sim_say "silence 10"
sleep 8
shot 2-silent
judge_return "silent for 10 s" "$(measure_return "$mark" 'fault over: answering again')"
check_alive "the controller was silent"
sleep 3

# 3. Every connection dropped and new ones refused for 10 s.
mark=$(wc -l < "$work/sim.log")
sim_say "disconnect 10"
sleep 8
shot 3-disconnected
judge_return "disconnected for 10 s" \
    "$(measure_return "$mark" 'fault over: accepting connections again')"
check_alive "the controller refused connections"
sleep 3

# 4. A peer that breaks the protocol, on the controller's port, then the simulator again.
stop_sim
for mode in late garbage mixed; do
    pmark=$(wc -l < "$work/panel.log")
    "$build/bench/soak/badpeer" "$port" "$mode" > "$work/bad-$mode.log" 2>&1 &
    bad_pid=$!
    pids+=("$bad_pid")
    sleep 20
    shot "4-$mode"
    kill "$bad_pid" 2>/dev/null || true
    wait "$bad_pid" 2>/dev/null || true
    check_alive "a peer answering $mode"
    requests=$(grep -c '^read ' "$work/bad-$mode.log" || true)
    right=$(grep -c ' right$' "$work/bad-$mode.log" || true)
    late=$(grep -c ' late$' "$work/bad-$mode.log" || true)
    connects=$(grep -c '^client connected' "$work/bad-$mode.log" || true)
    # Blocks the program took: its trace prints the data of every read, empty when refused.
    taken=$(tail -n +"$((pmark + 1))" "$work/panel.log" | grep -A2 'GetDataInv address' |
        grep '^data: ' | grep -vc '^data:  *""' || true)
    allowed=$right
    [ "$mode" = mixed ] && allowed=$((right + late))
    line="$mode peer: $requests requests on $connects connections, $taken blocks taken"
    line="$line (answers it may take: $allowed)"
    if [ "$taken" -le "$allowed" ]; then note "$line: ok"; else bad "$line"; fi
done
mark=$(wc -l < "$work/sim.log")
start_sim "$port" --scenario "$home/demo.scenario" --log-reads
judge_return "simulator back after the broken peers" "$(measure_return "$mark" 'register offset')"
check_alive "the controller came back"

echo "--- summary"
printf '%s\n' "${report[@]}"
echo "program alive at the end: yes; failures: $failures"
[ -z "$shots" ] || echo "screenshots in $shots"
[ "$failures" -eq 0 ]
