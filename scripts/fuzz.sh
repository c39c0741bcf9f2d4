#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Builds the libFuzzer harnesses (fuzz/) with clang and runs them one after another.
#
#   scripts/fuzz.sh [SECONDS] [HARNESS...]   run each harness SECONDS (default 60), print figures
#   scripts/fuzz.sh --runs=N [SECONDS] [...]  stop each harness after N executions instead
#                                             (SECONDS then only bounds a slow harness)
#   scripts/fuzz.sh --smoke [HARNESS...]     a few seconds each from the seed corpus only (tests)
#   scripts/fuzz.sh --list                   names of the harnesses
#
# A long run keeps the corpus it grows in <build>/fuzz-corpus/<harness> and starts from it next
# time; inputs that crash or break an expectation land in <build>/fuzz-findings/<harness>/.
# The build folder is VERANDIX_FUZZ_BUILD (default build-libfuzzer in the source tree).
# The exit status is 1 when any harness found something, 2 when the build failed.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VERANDIX_FUZZ_BUILD:-$root/build-libfuzzer}"
smoke=0
seconds=60
runs_limit=
seconds_given=0
harnesses=()
for arg in "$@"; do
    case "$arg" in
        --smoke) smoke=1 ;;
        --list) ls "$root/fuzz/corpus"; exit 0 ;;
        --runs=*) runs_limit="${arg#--runs=}" ;;
        -h|--help) sed -n '4,15p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        ''|*[!0-9]*) harnesses+=("$arg") ;;
        *) seconds="$arg"; seconds_given=1 ;;
    esac
done
[ "$smoke" -eq 1 ] && seconds="${VERANDIX_FUZZ_SMOKE_SECONDS:-3}"
[ -n "$runs_limit" ] && [ "$seconds_given" -eq 0 ] && seconds=86400

cxx="$(command -v clang++-14 || command -v clang++ || true)"
cc="$(command -v clang-14 || command -v clang || true)"
if [ -z "$cxx" ]; then
    echo "fuzz: clang is missing; scripts/setup.sh installs it" >&2
    exit 2
fi

launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC="$cc" CXX="$cxx" cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVERANDIX_FUZZ=ON \
        -DVERANDIX_BENCH=OFF "${launcher[@]}" >"$build.configure.log" 2>&1 || {
        cat "$build.configure.log" >&2
        exit 2
    }
fi
if ! cmake --build "$build" -j"${VERANDIX_FUZZ_JOBS:-2}" --target fuzzers >"$build/fuzz-build.log" 2>&1; then
    tail -40 "$build/fuzz-build.log" >&2
    echo "fuzz: build failed (log: $build/fuzz-build.log)" >&2
    exit 2
fi

if [ "${#harnesses[@]}" -eq 0 ]; then
    for dir in "$root"/fuzz/corpus/*/; do
        name="$(basename "$dir")"
        [ -x "$build/fuzz/fuzz_$name" ] && harnesses+=("$name")
    done
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
status=0
printf '%-15s %9s %12s %10s %8s %8s  %s\n' harness seconds executions exec/s cov features findings
for name in "${harnesses[@]}"; do
    binary="$build/fuzz/fuzz_$name"
    seeds="$root/fuzz/corpus/$name"
    if [ ! -x "$binary" ] || [ ! -d "$seeds" ]; then
        echo "fuzz: no harness named $name" >&2
        status=1
        continue
    fi
    findings="$build/fuzz-findings/$name"
    mkdir -p "$findings"
    if [ "$smoke" -eq 1 ]; then
        corpus="$scratch/$name"     # the seeds stay untouched; what a smoke run grows is dropped
    else
        corpus="$build/fuzz-corpus/$name"
    fi
    mkdir -p "$corpus"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$findings/")
    [ -f "$root/fuzz/$name.dict" ] && options+=(-dict="$root/fuzz/$name.dict")
    [ -n "$runs_limit" ] && options+=(-runs="$runs_limit")
    before="$(find "$findings" -type f | wc -l)"
    log="$build/fuzz-$name.log"
    started=$SECONDS
    "$binary" "${options[@]}" "$corpus" "$seeds" >"$log" 2>&1
    rc=$?
    took_seconds=$((SECONDS - started))
    after="$(find "$findings" -type f | wc -l)"
    found=$((after - before))
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    took="$(grep -oE 'exec/s: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+')"
    cov="$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+')"
    ft="$(grep -oE 'ft: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+')"
    printf '%-15s %9s %12s %10s %8s %8s  %s\n' "$name" "$took_seconds" "${runs:-?}" "${took:-?}" \
        "${cov:-?}" "${ft:-?}" "$found"
    if [ "$rc" -ne 0 ] || [ "$found" -gt 0 ]; then
        status=1
        grep -E 'ERROR:|SUMMARY:|expectation broken|fatal:' "$log" | head -5 | sed 's/^/    /'
        find "$findings" -type f -newer "$binary" | head -5 | sed 's/^/    input: /'
        echo "    log: $log"
    fi
done
exit "$status"
