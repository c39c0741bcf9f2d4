#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Sets up the machine, builds and starts the panel together with the home controller simulator.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" normal
# shellcheck source=scripts/audio.sh
source "$root/scripts/audio.sh"
start_null_audio

# The simulator plays the demo home: it reads the same project the program unpacks, and the
# demo's timeline keeps the house alive (motion, alarms, a leak, drifting readings).
sim=""
home="$(mktemp -d)"
cleanup() { [ -n "$sim" ] && kill "$sim" 2>/dev/null; rm -rf "$home"; stop_null_audio; }
trap cleanup EXIT
QT_QPA_PLATFORM=offscreen "$root/build/tools/demogen/verandix-demogen" --flat --out "$home" >/dev/null
"$root/build/tools/homesim/verandix-homesim" --listen 127.0.0.1:1502 --config "$home" \
    --scenario "$root/resources/demo/demo.scenario" --http --quiet > /dev/null &
sim=$!

# Wait until the simulator answers, so the panel's first poll already finds the house.
for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/1502) 2>/dev/null && break
    sleep 0.1
done

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
