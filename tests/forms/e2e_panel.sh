#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# The real program on a real X server against the simulator: a person's clicks on the demo home
# open the lighting subsystem, a floor and a room; the simulator then sees the room's lamp windows
# polled. The exit page ends the program cleanly, and the simulator sees the panel leave.
# Usage: e2e_panel.sh BUILD_DIR      (exit 77 = skipped: no Xvfb or xdotool here)
set -euo pipefail
build="$1"
# shellcheck source=tests/forms/e2e_common.sh
source "$(dirname "$0")/e2e_common.sh"
start_simulator --log-reads
start_panel

# The home page is up (start_panel waited for it), and the panel polls the status block.
wait_for 10 "the panel never polled the controller" in_log "$work/sim.log" ' read 0 '

# The home plan fills the page under the 60-pixel bar; other plans start below the 45-pixel
# title rows.
click_icon "$(attr syscontrol link2 main_config.xml posX)" "$(attr syscontrol link2 main_config.xml posY)" 60 640
click_icon "$(attr floor "Ground floor · lighting" light_config.xml posX)" \
    "$(attr floor "Ground floor · lighting" light_config.xml posY)" 105 595
mark=$(wc -l < "$work/sim.log")
click_icon "$(attr room "Living room · lighting" light_config.xml posX)" \
    "$(attr room "Living room · lighting" light_config.xml posY)" 105 595

# Lamp 1 of the living room lives at byte 612 + 8, register 310 with offset 0.
lamp_register=$(( (612 + 8 * $(attr lamp lamp1 light_config.xml lmpNumber)) / 2 ))
lamp_polled() {
    tail -n +"$mark" "$work/sim.log" | awk -v r="$lamp_register" \
        '$2 == "read" && $3 <= r && r < $3 + $4 { found = 1 } END { exit !found }'
}
wait_for 5 "the living room's lamp window (register $lamp_register) was never polled" lamp_polled
echo "ok: the room's lamp window is polled"

# Home from the top bar, then Exit and Yes.
click_page 507 30
click_icon "$(attr syscontrol link10 main_config.xml posX)" "$(attr syscontrol link10 main_config.xml posY)" 60 640
click_at 452 420
wait_for 10 "the program did not end from the exit page" eval '! kill -0 "$panel" 2>/dev/null'
code=0
wait "$panel" || code=$?
[ "$code" -eq 0 ] || { cat "$work/panel.log"; fail "the program ended with status $code"; }
wait_for 5 "the simulator never saw the panel leave" in_log "$work/sim.log" 'client disconnected'
echo "ok: the exit page ended the program cleanly"
