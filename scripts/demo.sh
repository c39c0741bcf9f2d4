#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Sets up the machine, builds and starts the panel together with the home controller simulator,
# and bridges the demo home to an MQTT broker of its own.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# Only what the demo runs: the panel (with its user guide), the simulator and the demo generator.
# The test command (scripts/test.sh) builds everything else.
guide=()
command -v cmark >/dev/null 2>&1 && guide=(verandix-userguide)
"$root/scripts/build.sh" normal verandix verandix-homesim verandix-demogen "${guide[@]}"
# shellcheck source=scripts/audio.sh
source "$root/scripts/audio.sh"
start_null_audio

# The simulator plays the demo home: it reads the same project the program unpacks, and the
# demo's timeline keeps the house alive (motion, alarms, a leak, drifting readings).
sim=""
broker=""
bridge=""
home="$(mktemp -d)"
cleanup() {
    [ -n "$bridge" ] && kill "$bridge" 2>/dev/null && wait "$bridge" 2>/dev/null
    [ -n "$broker" ] && kill "$broker" 2>/dev/null
    [ -n "$sim" ] && kill "$sim" 2>/dev/null
    rm -rf "$home"
    stop_null_audio
}
trap cleanup EXIT
QT_QPA_PLATFORM=offscreen "$root/build/tools/demogen/verandix-demogen" --flat --out "$home" >/dev/null
"$root/build/tools/homesim/verandix-homesim" --listen 127.0.0.1:1502 --config "$home" \
    --scenario "$root/resources/demo/demo.scenario" --http --quiet > /dev/null &
sim=$!

# An MQTT broker on a free loopback port, and the bridge for the demo home beside the panel, so a
# hub (or mosquitto_sub) sees the house too. The demo's controller address stays 127.0.0.1.
mqtt_port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\n' "$mqtt_port" >"$home/mosquitto.conf"
mosquitto_bin="$(command -v mosquitto || echo /usr/sbin/mosquitto)"
"$mosquitto_bin" -c "$home/mosquitto.conf" >"$home/mosquitto.log" 2>&1 &
broker=$!
sed -i "s#</config># <mqtt_host value=\"127.0.0.1\"/>\n <mqtt_port value=\"$mqtt_port\"/>\n <mqtt_client_id value=\"demo\"/>\n</config>#" \
    "$home/config.xml"

# Wait until the simulator answers, so the panel's first poll already finds the house.
for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/1502) 2>/dev/null && break
    sleep 0.1
done

for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$mqtt_port") 2>/dev/null && break
    sleep 0.1
done
"$root/build/src/verandix" --bridge -config "$home" 2>"$home/bridge.log" &
bridge=$!
echo "MQTT: the demo home is bridged to a broker on 127.0.0.1:$mqtt_port; watch it with"
echo "  mosquitto_sub -h 127.0.0.1 -p $mqtt_port -t 'verandix/#' -t 'homeassistant/#' -v"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$root/build/src/verandix" --demo "$@"
else
    # No display to open a window on: walk through every screen on a virtual display instead
    # and leave one picture per page.
    tour="${VERANDIX_TOUR_DIR:-$root/build/tour}"
    rm -rf "$tour"
    xvfb-run -a -s "-screen 0 1280x800x24" "$root/build/src/verandix" --demo --tour "$tour" "$@"
    echo "No display here: the tour of every screen is in $tour"
    ls "$tour"
fi
