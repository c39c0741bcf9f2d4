# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Sourced by the test and demo scripts: a PulseAudio server whose default sink is a null sink, so
# the program has a real default output device on machines without a sound card.

start_null_audio() {
    command -v pulseaudio >/dev/null 2>&1 || return 0
    if pactl info >/dev/null 2>&1; then
        return 0
    fi
    pulseaudio -D --exit-idle-time=-1 -n \
        --load="module-null-sink sink_name=null" --load=module-native-protocol-unix \
        >/dev/null 2>&1 || true
    for _ in $(seq 1 50); do
        pactl info >/dev/null 2>&1 && { VERANDIX_STARTED_AUDIO=1; return 0; }
        sleep 0.1
    done
    echo "warning: no PulseAudio server; sound tests will skip" >&2
}

stop_null_audio() {
    if [ "${VERANDIX_STARTED_AUDIO:-0}" = 1 ]; then
        pulseaudio -k >/dev/null 2>&1 || true
    fi
}
