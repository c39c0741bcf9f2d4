#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# The real program on a real X server against the simulator: a person opens the security keypad
# from the demo home, types a wrong code and then the user code, and the simulator's keypad sees
# both: the wrong code refused, the right one arming the house.
# Usage: e2e_keypad.sh BUILD_DIR      (exit 77 = skipped: no Xvfb or xdotool here)
set -euo pipefail
build="$1"
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- simulator log (tail)"; tail -n 20 "$work/sim.log" || true; exit 1; }

home="$work/home"
mkdir -p "$home"
QT_QPA_PLATFORM=offscreen "$build/tools/demogen/verandix-demogen" --flat --out "$home" >/dev/null

"$build/tools/homesim/verandix-homesim" --listen 127.0.0.1:0 --config "$home" --arm-delay 1 \
    < /dev/null > "$work/sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q '^listening on' "$work/sim.log" 2>/dev/null && break; sleep 0.1; done
port="$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.log" | head -n 1)"
[ -n "$port" ] || fail "the simulator did not start"

# A window at the top left, laid out at its own pixel size, talking to this simulator only.
set_value() { sed -i "s|<$1 value=\"[^\"]*\"|<$1 value=\"$2\"|" "$home/config.xml"; }
set_value ipport "$port"
set_value ipaddress 127.0.0.1
set_value ipaddress2 127.0.0.1
set_value posx 0
set_value posy 0
set_value width 1024
set_value height 700
set_value wndview normal
set_value drawtype normal

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

QT_QPA_PLATFORM=xcb "$build/src/verandix" -config "$home" > "$work/panel.log" 2>&1 &
pids+=($!)

# The home page is up once the simulator has seen a client.
for _ in $(seq 100); do grep -q 'client connected' "$work/sim.log" && break; sleep 0.1; done
grep -q 'client connected' "$work/sim.log" || fail "the panel never connected"
sleep 1

click_at() { xdotool mousemove "$1" "$2" click 1; sleep 0.4; }
# The keypad button of the home page sits at its percent position of the plan, which fills the
# 1024 x 640 page under the 60-pixel bar; a click lands inside the 64-pixel picture.
attr() { grep -o "<$1 name=\"$2\"[^>]*" "$home/$3" | sed -n "s/.* $4=\"\([^\"]*\)\".*/\1/p" | head -n 1; }
kx=$(awk -v p="$(attr syscontrol link4 main_config.xml posX)" 'BEGIN { printf "%d", p / 100 * 1024 + 30 }')
ky=$(awk -v p="$(attr syscontrol link4 main_config.xml posY)" 'BEGIN { printf "%d", 60 + p / 100 * 640 + 28 }')
click_at "$kx" "$ky"
sleep 1

# The keypad's grid on a 1024-pixel page: four 110-pixel key columns centred (the first at
# x 297), key rows 92 pixels high from y 180 of the page, that is 240 on the screen.
key() {
    local col row
    case "$1" in
        [1-9]) col=$(( ($1 - 1) % 3 )); row=$(( ($1 - 1) / 3 )) ;;
        0) col=0; row=3 ;;
        Enter) col=3; row=2 ;;
    esac
    click_at $((297 + col * 110 + 55)) $((240 + row * 92 + 46))
}
expect() { # text seen in the simulator log within a few seconds
    for _ in $(seq 50); do grep -q "$1" "$work/sim.log" && return 0; sleep 0.1; done
    fail "the simulator never logged: $1"
}

key 9; key 9; key Enter
expect 'security: code entered, wrong code'
echo "ok: a wrong code reaches the keypad and is refused"
key 1; key 2; key 3; key 4; key Enter
expect 'security: code entered, arming, countdown started'
echo "ok: the user code arms the house"
