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

sim=""
if [ -x "$root/build/tools/homesim/verandix-homesim" ]; then
    "$root/build/tools/homesim/verandix-homesim" --listen 127.0.0.1:1502 --quiet &
    sim=$!
fi
cleanup() { [ -n "$sim" ] && kill "$sim" 2>/dev/null; stop_null_audio; }
trap cleanup EXIT

run=("$root/build/src/verandix" "$@")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1280x800x24" "${run[@]}")
fi
"${run[@]}"
