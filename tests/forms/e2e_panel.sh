#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# The real program on a real X server against the simulator: a person's clicks on the demo home
# open the lighting subsystem, a floor and a room; the simulator then sees the room's lamp windows
# polled. The exit page ends the program cleanly, and the simulator sees the panel leave.
# Usage: e2e_panel.sh BUILD_DIR      (exit 77 = skipped: no Xvfb or xdotool here)
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

"$build/tools/homesim/verandix-homesim" --listen 127.0.0.1:0 --config "$home" --log-reads \
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
panel=$!
pids+=($panel)

# The home page is up once the panel polls the status block.
for _ in $(seq 100); do grep -q '^.* read 0 ' "$work/sim.log" && break; sleep 0.1; done
grep -q ' read 0 ' "$work/sim.log" || fail "the panel never polled the controller"
sleep 1

# Icons sit at their percent position of the plan; a click lands inside the 64-pixel picture.
attr() { grep -o "<$1 name=\"$2\"[^>]*" "$home/$3" | sed -n "s/.* $4=\"\([^\"]*\)\".*/\1/p" | head -n 1; }
click_at() { xdotool mousemove "$1" "$2" click 1; sleep 1.2; }
# plan left, top, width, height in window pixels: the home plan fills the page under the 60-pixel
# bar; other plans start below the 45-pixel title rows.
click_icon() { # percentX percentY planTop planHeight
    local x y
    x=$(awk -v p="$1" 'BEGIN { printf "%d", p / 100 * 1024 + 30 }')
    y=$(awk -v p="$2" -v t="$3" -v h="$4" 'BEGIN { printf "%d", t + p / 100 * h + 28 }')
    click_at "$x" "$y"
}

click_icon "$(attr syscontrol link2 main_config.xml posX)" "$(attr syscontrol link2 main_config.xml posY)" 60 640
click_icon "$(attr floor light_ground_floor light_config.xml posX)" \
    "$(attr floor light_ground_floor light_config.xml posY)" 105 595
mark=$(wc -l < "$work/sim.log")
click_icon "$(attr room light_living_room light_config.xml posX)" \
    "$(attr room light_living_room light_config.xml posY)" 105 595

# Lamp 1 of the living room lives at byte 612 + 8, register 310 with offset 0.
lamp_register=$(( (612 + 8 * $(attr lamp lamp1 light_config.xml lmpNumber)) / 2 ))
polled=""
for _ in $(seq 50); do
    if tail -n +"$mark" "$work/sim.log" | awk -v r="$lamp_register" \
        '$2 == "read" && $3 <= r && r < $3 + $4 { found = 1 } END { exit !found }'; then
        polled=yes
        break
    fi
    sleep 0.1
done
[ -n "$polled" ] || fail "the living room's lamp window (register $lamp_register) was never polled"
echo "ok: the room's lamp window is polled"

# Home from the top bar, then Exit and Yes.
click_at 507 30
click_icon "$(attr syscontrol link10 main_config.xml posX)" "$(attr syscontrol link10 main_config.xml posY)" 60 640
click_at 452 420
for _ in $(seq 100); do kill -0 "$panel" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$panel" 2>/dev/null; then fail "the program did not end from the exit page"; fi
code=0
wait "$panel" || code=$?
[ "$code" -eq 0 ] || { cat "$work/panel.log"; fail "the program ended with status $code"; }
for _ in $(seq 50); do grep -q 'client disconnected' "$work/sim.log" && break; sleep 0.1; done
grep -q 'client disconnected' "$work/sim.log" || fail "the simulator never saw the panel leave"
echo "ok: the exit page ended the program cleanly"
