#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Controller faults while the real program runs on a virtual display: the simulator killed and
# restarted on the same port, silent for 10 s, refusing connections for 10 s, then a peer that
# answers too late, with garbage and with broken frames. After each fault the program must still
# run, and must poll the status block again soon after the controller is back; the time from the
# controller's return to the first status read is measured on the simulator's clock.
# Usage: faults.sh [BUILD_DIR]     FAULTS_POLL=MS poll period (default 500);
#   FAULTS_SHOTS=DIR keeps screenshots of each fault (needs ImageMagick's import);
#   FAULTS_KEEP=1 keeps the scratch folder (logs of the simulator, the peers and the program).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
poll="${FAULTS_POLL:-500}"
shots="${FAULTS_SHOTS:-}"

# shellcheck source=bench/soak/common.sh
source "$here/common.sh"
work="$(mktemp -d)"
keep_work="${FAULTS_KEEP:-}"
trap cleanup_all EXIT
need_tools Xvfb xdotool
[ -x "$build/bench/soak/badpeer" ] || die "$build/bench/soak/badpeer is missing: build badpeer"
if command -v import >/dev/null && command -v convert >/dev/null; then
    shots="${shots:-$work/shots}"
    mkdir -p "$shots"
else
    echo "note: no ImageMagick, the top bar's connection state is not checked" >&2
    shots=""
fi

failures=0
report=()
note() { echo "$*"; report+=("$*"); }
bad() { note "FAIL: $*"; failures=$((failures + 1)); }

alive() { kill -0 "$panel" 2>/dev/null; }
check_alive() { alive || { bad "the program is gone after: $1"; exit 1; }; }
shot() { [ -z "$shots" ] || import -window root "$shots/$1.png" 2>/dev/null || true; }

# Milliseconds of the day of a simulator log line ("hh:mm:ss.zzz ...").
line_ms() { awk '{ split($1, t, ":"); printf "%d\n", ((t[1] * 60 + t[2]) * 60 + t[3]) * 1000 }'; }

# After line MARK of the simulator log: waits for a line matching PATTERN (the controller's
# return), then for the first status-block read after it; prints the milliseconds from the return
# to the first new connection ("-" if the old one went on) and to that read ("" if none came).
measure_return() {
    local mark="$1" pattern="$2" back="" read="" conn="" from
    for _ in $(seq 300); do
        back="$(tail -n +"$((mark + 1))" "$work/sim.log" | grep -n -m1 -- "$pattern" || true)"
        if [ -n "$back" ]; then
            from=$((mark + ${back%%:*}))
            read="$(tail -n +"$from" "$work/sim.log" | grep -m1 ' read 0 30$' || true)"
            [ -n "$read" ] && break
        fi
        sleep 0.1
    done
    [ -n "$read" ] || { echo "- "; return 0; }
    conn="$(tail -n +"$from" "$work/sim.log" | sed -n '/ read 0 30$/q; / client connected/p' |
        head -n 1)"
    local t0
    t0=$(echo "${back#*:}" | line_ms)
    if [ -n "$conn" ]; then echo -n "$(($(echo "$conn" | line_ms) - t0)) "; else echo -n "- "; fi
    echo $(($(echo "$read" | line_ms) - t0))
}

# The top bar's connection icon, by the colour of one of its pixels (window of 1024 x 700 at the
# top left): green connected, grey no connection, orange connected with a wrong controller clock.
state_of() {
    [ -n "$shots" ] && [ -f "$shots/$1.png" ] || { echo "not seen"; return 0; }
    case "$(convert "$shots/$1.png" -format '%[pixel:p{596,43}]' info: 2>/dev/null)" in
    'srgb(102,187,106)') echo connected ;;
    'srgb(154,164,177)') echo "no connection" ;;
    'srgb(255,167,38)') echo "connected, wrong clock" ;;
    *) echo unknown ;;
    esac
}

expect_state() { # SHOT WANTED...
    local shot="$1" seen
    shift
    seen="$(state_of "$shot")"
    [ "$seen" = "not seen" ] && return 0
    for want in "$@"; do [ "$seen" = "$want" ] && { note "$shot: top bar shows \"$seen\": ok"; return 0; }; done
    bad "$shot: top bar shows \"$seen\", expected \"$*\""
}

# The tick that reconnects also reads: the status comes within one poll of the return.
# A silent controller may have swallowed the request in flight, which costs the answer wait.
judge_return() { # WHAT "CONNECT_MS READ_MS" [ANSWER_WAIT_MS]
    local conn="${2%% *}" read="${2#* }" wait="${3:-0}" slack=150
    if [ -z "$read" ]; then
        bad "$1: the program never polled again"
        return
    fi
    local line="$1: reconnected after ${conn} ms, first status read after ${read} ms (poll ${poll} ms)"
    # After silence the program cannot tell that the controller is back: no reconnect is due.
    if [ "$wait" -eq 0 ] && [ "$conn" != "-" ] && [ "$conn" -gt $((poll + slack)) ]; then
        bad "$line: the reconnect took more than one poll"
    elif [ "$read" -gt $((wait + poll + slack)) ]; then
        bad "$line: slower than expected ($((wait + poll)) ms)"
    else
        note "$line: ok"
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
expect_state 0-connected connected

# 1. Killed without a word, restarted on the same port 10 s later.
mark=$(wc -l < "$work/sim.log")
kill -KILL "$sim"
wait "$sim" 2>/dev/null || true
exec 3>&-
sleep 8
shot 1-killed
expect_state 1-killed "no connection"
check_alive "the controller was killed"
start_sim "$port" --scenario "$home/demo.scenario" --log-reads
judge_return "killed and restarted" "$(measure_return "$mark" 'register offset')"
check_alive "the controller was restarted"
sim_say "set byte 32 22"
sleep 3
shot 1-back
expect_state 1-back connected

# 2. Connections kept but nothing answered for 10 s, three times, at different moments of the
# program's answer wait; then 3 s, shorter than that wait.
for n in 1 2 3 4; do
    seconds=10
    [ "$n" -lt 4 ] || seconds=3
    mark=$(wc -l < "$work/sim.log")
    sim_say "silence $seconds"
    sleep $((seconds - 2))
    shot "2-silent-$n"
    [ "$n" -eq 4 ] || expect_state "2-silent-$n" "no connection"
    judge_return "silent for $seconds s (run $n)" \
        "$(measure_return "$mark" 'fault over: answering again')" 5000
    check_alive "the controller was silent"
    sleep "$((n + 1)).$((RANDOM % 10))"
done
shot 2-back
expect_state 2-back connected

# 3. Every connection dropped and new ones refused for 10 s.
mark=$(wc -l < "$work/sim.log")
sim_say "disconnect 10"
sleep 8
shot 3-disconnected
expect_state 3-disconnected "no connection"
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
    # Broken answers drop the connection; the late peer's connections stay until the wait ends.
    expect_state "4-$mode" "no connection" "connected, wrong clock"
    kill "$bad_pid" 2>/dev/null || true
    wait "$bad_pid" 2>/dev/null || true
    check_alive "a peer answering $mode"
    requests=$(grep -c '^read ' "$work/bad-$mode.log" || true)
    right=$(grep -c ' right$' "$work/bad-$mode.log" || true)
    late=$(grep -c ' late$' "$work/bad-$mode.log" || true)
    connects=$(grep -c '^client connected' "$work/bad-$mode.log" || true)
    # Blocks the program took: its trace prints the data of every read, empty when refused. Each
    # one must hold what the peer has at that address, never the answer to another request.
    read -r taken wrong < <(tail -n +"$((pmark + 1))" "$work/panel.log" |
        awk -f "$here/blockcheck.awk")
    allowed=$right
    [ "$mode" = mixed ] && allowed=$((right + late))
    line="$mode peer: $requests requests on $connects connections, $taken blocks taken"
    line="$line (answers it may take: $allowed), $wrong with another block's values"
    if [ "$taken" -le "$allowed" ] && [ "$wrong" -eq 0 ]; then note "$line: ok"; else bad "$line"; fi
done
mark=$(wc -l < "$work/sim.log")
start_sim "$port" --scenario "$home/demo.scenario" --log-reads
judge_return "simulator back after the broken peers" "$(measure_return "$mark" 'register offset')"
check_alive "the controller came back"
sleep 2
shot 5-back
expect_state 5-back connected

# In a sanitizer build a report does not always end the program.
if grep -q 'runtime error\|Sanitizer' "$work/panel.log"; then
    bad "the sanitizers reported a fault in the program (see its log)"
    grep -m5 'runtime error\|Sanitizer' "$work/panel.log"
fi

echo "--- summary"
printf '%s\n' "${report[@]}"
echo "program alive at the end: yes; failures: $failures"
[ -z "${FAULTS_SHOTS:-}" ] || echo "screenshots in $shots"
[ "$failures" -eq 0 ]
