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
    --scenario "$root/resources/demo/demo.scenario" --quiet > /dev/null &
sim=$!

run=("$root/build/src/verandix" "$@")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1280x800x24" "${run[@]}")
fi
"${run[@]}"
