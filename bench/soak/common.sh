# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Shared pieces of the soak and fault runs: a demo home patched for loopback, the simulator with a
# control channel, a virtual display and the real program on it. Sourced, not run.
# Expects: $build (build folder), $work (scratch folder); fills $home, $port, $sim, $panel.

pids=()
cleanup_all() {
    exec 3>&- 2>/dev/null || true
    # Latest first: the program goes before its display and its controller.
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; --i)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    [ -n "${keep_work:-}" ] || rm -rf "$work"
}

die() { echo "FAIL: $*" >&2; exit 1; }

need_tools() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || die "$tool is not installed (scripts/setup.sh installs it)"
    done
    for f in src/verandix tools/homesim/verandix-homesim tools/demogen/verandix-demogen; do
        [ -x "$build/$f" ] || die "$build/$f is missing: build the targets verandix, \
verandix-homesim and verandix-demogen first"
    done
}

# A TCP port on loopback that nothing answers on (a refused connection means free).
free_port() {
    local p
    for _ in $(seq 200); do
        p=$((20000 + RANDOM % 30000))
        if ! (exec 9<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then
            echo "$p"
            return 0
        fi
    done
    return 1
}

# The demo home, with its camera, gate and weather pages reachable by the controller's page
# selection (pageIDs 90, 91, 92) and its cameras moved to free loopback ports.
make_home() {
    home="$work/home"
    mkdir -p "$home"
    # In a sanitizer build the generator's leaks at exit (Qt's offscreen screen) are no finding.
    ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
        "$build/tools/demogen/verandix-demogen" --flat --out "$home" \
        >/dev/null 2>&1 || die "verandix-demogen failed"
    sed -i '/^<subsystems /s/pageID="0"/pageID="90"/' "$home/cameras.xml"
    sed -i '/^<subsystems /s/pageID="0"/pageID="91"/' "$home/gates.xml"
    sed -i '/^<subsystems /s/pageID="0"/pageID="92"/' "$home/weather.xml"
    local old new
    for old in $(grep -ho 'port="[0-9]*"' "$home"/cameras.xml "$home"/gates.xml | sort -u |
        tr -dc '0-9\n'); do
        new="$(free_port)" || die "no free port for a camera"
        sed -i "s/port=\"$old\"/port=\"$new\"/g" "$home"/*.xml
    done
}

set_value() { sed -i "s|<$1 value=\"[^\"]*\"|<$1 value=\"$2\"|" "$home/config.xml"; }

# Patches config.xml for this simulator: loopback only, window at the top left, poll period $1 ms.
patch_config() {
    set_value ipport "$port"
    set_value ipaddress 127.0.0.1
    set_value ipaddress2 127.0.0.1
    set_value timeout "$1"
    set_value posx 0
    set_value posy 0
    set_value width 1024
    set_value height 700
    set_value wndview normal
    set_value drawtype normal
}

# Starts the simulator on 127.0.0.1:$1 (0 = any free port) with its control channel on fd 3
# (a FIFO), logging to $work/sim.log (appended). Extra arguments go to the simulator.
start_sim() {
    local want="$1"
    shift
    local fifo="$work/sim.ctl"
    rm -f "$fifo"
    mkfifo "$fifo"
    local mark=0
    [ -f "$work/sim.log" ] && mark=$(wc -l < "$work/sim.log")
    "$build/tools/homesim/verandix-homesim" --listen "127.0.0.1:$want" --config "$home" \
        --stop-on-eof "$@" < "$fifo" >> "$work/sim.log" 2>&1 &
    sim=$!
    pids+=("$sim")
    exec 3> "$fifo"
    for _ in $(seq 200); do
        tail -n +"$((mark + 1))" "$work/sim.log" | grep -q '^listening on' && break
        kill -0 "$sim" 2>/dev/null || break
        sleep 0.05
    done
    port="$(tail -n +"$((mark + 1))" "$work/sim.log" |
        sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' | head -n 1)"
    [ -n "$port" ] || { tail -n 5 "$work/sim.log" >&2; die "the simulator did not start"; }
}

stop_sim() {
    exec 3>&- 2>/dev/null || true
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
}

# Sends one event line to the simulator's control channel.
sim_say() { printf '%s\n' "$*" >&3; }

start_display() {
    display=":$((300 + RANDOM % 600))"
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY="$display"
    for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && return 0; sleep 0.1; done
    die "Xvfb did not start on $display"
}

start_panel() {
    QT_QPA_PLATFORM=xcb "$build/src/verandix" -config "$home" > "$work/panel.log" 2>&1 &
    panel=$!
    pids+=("$panel")
}

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
now_ms() { date +%s%3N; }
