#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# The real program on a real X server against the simulator: a person opens the security keypad
# from the demo home, types a wrong code and then the user code, and the simulator's keypad sees
# both: the wrong code refused, the right one arming the house.
# Usage: e2e_keypad.sh BUILD_DIR      (exit 77 = skipped: no Xvfb or xdotool here)
set -euo pipefail
build="$1"
# shellcheck source=tests/forms/e2e_common.sh
source "$(dirname "$0")/e2e_common.sh"
start_simulator --arm-delay 1 --log-reads
start_panel

# The home page is up (start_panel waited for it); the link takes codes once it has polled.
wait_for 10 "the panel never connected" in_log "$work/sim.log" 'client connected'
wait_link_ready

# The keypad button of the home page sits at its percent position of the plan, which fills the
# 1024 x 640 page under the 60-pixel bar.
click_icon "$(attr syscontrol link4 main_config.xml posX)" "$(attr syscontrol link4 main_config.xml posY)" 60 640

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
    wait_for 5 "the simulator never logged: $1" in_log "$work/sim.log" "$1"
}

key 9; key 9; key Enter
expect 'security: code entered, wrong code'
echo "ok: a wrong code reaches the keypad and is refused"
key 1; key 2; key 3; key 4; key Enter
expect 'security: code entered, arming, countdown started'
echo "ok: the user code arms the house"
