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
fail() {
    echo "FAIL: $*"
    echo "--- simulator log (tail)"; tail -n 20 "$work/sim.log" || true
    echo "--- panel log (tail)"; tail -n 20 "$work/panel.log" 2>/dev/null || true
    exit 1
}

# wait_for SECONDS WHAT COMMAND...: runs COMMAND until it succeeds; fails with WHAT after SECONDS.
wait_for() {
    local deadline=$((SECONDS + $1)) what="$2"
    shift 2
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "$what"
        sleep 0.1
    done
}
# in_log FILE PATTERN: the log holds a line matching PATTERN.
in_log() { grep -q -- "$2" "$1" 2>/dev/null; }

home="$work/home"
mkdir -p "$home"
QT_QPA_PLATFORM=offscreen "$build/tools/demogen/verandix-demogen" --flat --out "$home" >/dev/null

# start_simulator [OPTION...]: the simulator on the demo home; sets $port.
start_simulator() {
    "$build/tools/homesim/verandix-homesim" --listen 127.0.0.1:0 --config "$home" "$@" \
        < /dev/null > "$work/sim.log" 2>&1 &
    pids+=($!)
    wait_for 10 "the simulator did not start" in_log "$work/sim.log" '^listening on'
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
    wait_for 10 "Xvfb did not start on $display" eval 'xdotool getmouselocation >/dev/null 2>&1'

    # The screens' debug lines say when loading is done and which page each click opened.
    QT_QPA_PLATFORM=xcb QT_LOGGING_RULES="verandix.forms.debug=true" \
        "$build/src/verandix" -config "$home" > "$work/panel.log" 2>&1 &
    panel=$!
    pids+=($panel)
    wait_for 30 "the panel never finished loading" in_log "$work/panel.log" 'main content shown'
    wait_for 10 "the panel's window never showed" \
        xdotool search --all --onlyvisible --pid "$panel" --name VerandixEditor
}

# wait_link_ready: with a simulator started with --log-reads, waits until the panel has read the
# status block twice. The link decodes one read before it sends the next, so the panel's commands
# are no longer dropped as "not ready" from then on.
wait_link_ready() {
    wait_for 10 "the panel never polled the controller" \
        eval '[ "$(grep -c " read 0 " "$work/sim.log" || true)" -ge 2 ]'
}

# attr TAG NAME FILE ATTRIBUTE: an attribute of the demo project's element of that name.
attr() { grep -o "<$1 name=\"$2\"[^>]*" "$home/$3" | sed -n "s/.* $4=\"\([^\"]*\)\".*/\1/p" | head -n 1; }
# click_at X Y: a click in screen pixels.
click_at() { xdotool mousemove "$1" "$2" click 1; }
# pages_shown: how many page changes the panel has logged so far.
pages_shown() { grep -c 'verandix.forms: page [0-9]* shown' "$work/panel.log" || true; }
# click_page X Y: a click that opens a page; returns once the panel has shown it.
click_page() {
    local before
    before=$(pages_shown)
    click_at "$1" "$2"
    wait_for 10 "no page opened after the click at $1,$2" eval '[ "$(pages_shown)" -gt "$before" ]'
}
# click_icon percentX percentY planTop planHeight: the page button at its percent position of a
# plan 1024 pixels wide (the click lands inside its 64-pixel picture); returns once the page shows.
click_icon() {
    local x y
    x=$(awk -v p="$1" 'BEGIN { printf "%d", p / 100 * 1024 + 30 }')
    y=$(awk -v p="$2" -v t="$3" -v h="$4" 'BEGIN { printf "%d", t + p / 100 * h + 28 }')
    click_page "$x" "$y"
}
