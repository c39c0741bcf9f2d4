#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Soak run: the real program on a virtual display against the simulator playing the demo home,
# polling every 100 ms, while the controller's page selection moves it through the fixed pages,
# every room, the camera and gate pages (cameras streaming) and the weather page. Samples the
# program's resident memory and reports its growth after warm-up.
# Usage: soak.sh [SECONDS [BUILD_DIR]]    default 3600 s and ./build
#   SOAK_STEP=S seconds between page changes (default 4); SOAK_KEEP=1 keeps the scratch folder.
# Exit status 0 when the program is alive at the end and grew less than 1 MB after warm-up.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
duration="${1:-3600}"
build="$(cd "${2:-$root/build}" && pwd)"
step="${SOAK_STEP:-4}"
case "$duration" in '' | *[!0-9]*) echo "usage: soak.sh [SECONDS [BUILD_DIR]]" >&2; exit 2 ;; esac
[ "$duration" -ge 60 ] || { echo "soak.sh: run at least 60 s" >&2; exit 2; }

# shellcheck source=bench/soak/common.sh
source "$here/common.sh"
work="$(mktemp -d)"
keep_work="${SOAK_KEEP:-}"
trap cleanup_all EXIT
need_tools Xvfb xdotool

interval=60
[ "$duration" -ge 1800 ] || interval=10
interval="${SOAK_INTERVAL:-$interval}"

make_home
weather=()
# The panel asks the informer on 8089; if something else holds that port, stream cameras only.
if (exec 9<>/dev/tcp/127.0.0.1/8089) 2>/dev/null; then
    echo "note: port 8089 is taken, the weather page gets no informer" >&2
    weather=(--weather 0)
fi
start_sim 0 --scenario "$home/demo.scenario" --http "${weather[@]}" --log-reads
patch_config 100
start_display
start_panel
for _ in $(seq 300); do grep -q ' read 0 ' "$work/sim.log" && break; sleep 0.1; done
grep -q ' read 0 ' "$work/sim.log" || die "the program never polled the controller"

# Fixed pages 1-7 between rooms, so that every room page is left and entered again.
room_pages=$(grep -ho 'pageID="[0-9]*"' "$home"/*.xml | tr -dc '0-9\n' | awk '$1 >= 8' | sort -nu)
cycle=()
fixed=1
for p in $room_pages; do
    cycle+=("$p" "$fixed")
    fixed=$((fixed % 7 + 1))
done
# Warm-up: five minutes (a fifth of a short run), but at least one whole round of the pages when
# the run is long enough, so that every page has been built and shown once.
warmup=300
[ "$duration" -ge 1500 ] || warmup=$((duration / 5))
round=$((step * ${#cycle[@]}))
[ "$warmup" -ge "$round" ] || [ $((2 * round)) -gt "$duration" ] || warmup=$round
echo "soak: ${duration} s, poll 100 ms, page change every ${step} s through ${#cycle[@]} pages" \
    "(${cycle[*]}), memory every ${interval} s, warm-up ${warmup} s"

start=$(date +%s)
next_sample=$start
next_page=$start
i=0
samples=()
alive=yes
while :; do
    now=$(date +%s)
    elapsed=$((now - start))
    if ! kill -0 "$panel" 2>/dev/null; then
        alive=no
        echo "t=${elapsed}s: the program is gone"
        break
    fi
    kill -0 "$sim" 2>/dev/null || die "the simulator stopped at t=${elapsed}s"
    if [ "$now" -ge "$next_page" ]; then
        sim_say "set byte 32 ${cycle[$((i % ${#cycle[@]}))]}"
        i=$((i + 1))
        next_page=$((next_page + step))
    fi
    if [ "$now" -ge "$next_sample" ]; then
        rss=$(rss_kb "$panel")
        samples+=("$elapsed $rss")
        echo "t=${elapsed}s rss=${rss} kB"
        next_sample=$((next_sample + interval))
    fi
    [ "$elapsed" -ge "$duration" ] && break
    sleep 0.5
done

# The end as a person ends it: the exit page and its Yes button (the controller's page selection
# shows the exit page; a different page first, as a repeated selection changes nothing).
ended=""
if [ "$alive" = yes ]; then
    sim_say "set byte 32 7"
    sleep 1.5
    sim_say "set byte 32 5"
    sleep 2
    xdotool mousemove 452 420 click 1
    for _ in $(seq 300); do kill -0 "$panel" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$panel" 2>/dev/null; then
        ended="did not end from the exit page"
    else
        code=0
        wait "$panel" || code=$?
        ended="ended from the exit page with status $code"
    fi
fi

echo "--- summary"
echo "page changes sent: $i"
echo "connections seen by the simulator: $(grep -c 'client connected' "$work/sim.log" || true)"
echo "distinct read windows polled: $(awk '$2 == "read" { print $3, $4 }' "$work/sim.log" |
    sort -u | wc -l)"
echo "camera streams opened: $(grep -c ' stream ' "$work/sim.log" || true)"
printf '%s\n' "${samples[@]}" | awk -v w="$warmup" '
    { t[NR] = $1; r[NR] = $2 }
    END {
        base = -1
        for (k = 1; k <= NR; ++k) if (t[k] >= w) { base = k; break }
        if (base < 0 || NR < 2) { print "growth: not enough samples after warm-up"; exit }
        min = r[base]; max = r[base]; n = 0; sx = sy = sxx = sxy = 0
        for (k = base; k <= NR; ++k) {
            if (r[k] < min) min = r[k]
            if (r[k] > max) max = r[k]
            n++; sx += t[k]; sy += r[k]; sxx += t[k] * t[k]; sxy += t[k] * r[k]
        }
        slope = (n > 1 && n * sxx - sx * sx) ? (n * sxy - sx * sy) / (n * sxx - sx * sx) : 0
        printf "rss at warm-up end (t=%ds): %d kB, at the end (t=%ds): %d kB\n", t[base], r[base], t[NR], r[NR]
        printf "growth after warm-up: %d kB (min %d, max %d kB; trend %.0f kB/h)\n", r[NR] - r[base], min, max, slope * 3600
        for (k = 1; k <= NR; ++k) if (t[k] >= t[NR] / 2) { half = k; break }
        printf "growth over the second half (t=%ds to %ds): %d kB\n", t[half], t[NR], r[NR] - r[half]
    }' | tee "$work/growth.txt"
growth=$(sed -n 's/^growth after warm-up: \(-\{0,1\}[0-9]*\) kB.*/\1/p' "$work/growth.txt")
echo "program alive at the end: $alive${ended:+, $ended}"
# Sanitizer builds report at exit (leaks) or on the way (undefined behaviour).
grep -m5 'runtime error\|SUMMARY: .*Sanitizer' "$work/panel.log" && alive=no
[ -n "$keep_work" ] && echo "scratch folder kept: $work"
[ "$alive" = yes ] && [ "$ended" = "ended from the exit page with status 0" ] &&
    [ -n "$growth" ] && [ "$growth" -lt 1024 ]
