# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Shared by the end-to-end tests: the demo home for the simulator, the simulator on a free loopback
# port, a 1024 x 700 window at the top left of a private Xvfb display talking to it only, and the
# clicking helpers. Source it with the build folder in $build; exits 77 (skipped) without Xvfb or
# xdotool.
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

# start_simulator [OPTION...]: the simulator on the demo home; sets $port.
start_simulator() {
    "$build/tools/homesim/verandix-homesim" --listen 127.0.0.1:0 --config "$home" "$@" \
        < /dev/null > "$work/sim.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do grep -q '^listening on' "$work/sim.log" 2>/dev/null && break; sleep 0.1; done
    port="$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.log" | head -n 1)"
    [ -n "$port" ] || fail "the simulator did not start"
}

# start_panel: the program on its own display, laid out at its own pixel size; sets $panel.
start_panel() {
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

    local display=":$((90 + RANDOM % 100))"
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY="$display"
    for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

    QT_QPA_PLATFORM=xcb "$build/src/verandix" -config "$home" > "$work/panel.log" 2>&1 &
    panel=$!
    pids+=($panel)
}

# attr TAG NAME FILE ATTRIBUTE: an attribute of the demo project's element of that name.
attr() { grep -o "<$1 name=\"$2\"[^>]*" "$home/$3" | sed -n "s/.* $4=\"\([^\"]*\)\".*/\1/p" | head -n 1; }
# click_at X Y [PAUSE]: a click in screen pixels, then time for the page to react.
click_at() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-1.2}"; }
# click_icon percentX percentY planTop planHeight [PAUSE]: an icon at its percent position of a
# plan 1024 pixels wide; the click lands inside its 64-pixel picture.
click_icon() {
    local x y
    x=$(awk -v p="$1" 'BEGIN { printf "%d", p / 100 * 1024 + 30 }')
    y=$(awk -v p="$2" -v t="$3" -v h="$4" 'BEGIN { printf "%d", t + p / 100 * h + 28 }')
    click_at "$x" "$y" "${5:-1.2}"
}
