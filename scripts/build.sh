#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Configures and builds one build tree. Usage: scripts/build.sh [normal|asan|tsan] [TARGET...]
# tsan builds the libraries with ThreadSanitizer and only the tests labelled "tsan". Targets after
# the kind build only those (and what they need) instead of everything.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
kind="${1:-normal}"
shift || true
only=("$@")
jobs="$(nproc)"

case "$kind" in
    normal) dir="$root/build";      flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERANDIX_WERROR=ON) ;;
    asan)   dir="$root/build-asan"; flags=(-DCMAKE_BUILD_TYPE=Debug -DVERANDIX_WERROR=ON -DVERANDIX_SANITIZE=ON -DVERANDIX_BENCH=OFF) ;;
    tsan)   dir="$root/build-tsan"; tsan="-fsanitize=thread -fno-omit-frame-pointer"
            flags=(-DCMAKE_BUILD_TYPE=Debug -DVERANDIX_WERROR=ON -DVERANDIX_BENCH=OFF
                   "-DCMAKE_CXX_FLAGS=$tsan" "-DCMAKE_C_FLAGS=$tsan"
                   -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread) ;;
    *) echo "usage: $0 [normal|asan|tsan]" >&2; exit 2 ;;
esac

launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    # Let a fresh clone in another folder reuse the compiler cache: paths below the project root
    # are hashed relative to it, and the build folder's absolute path is left out.
    export CCACHE_BASEDIR="$root"
    export CCACHE_NOHASHDIR=1
fi

cmake -S "$root" -B "$dir" "${flags[@]}" "${launcher[@]}" >/dev/null
if [ "$kind" = tsan ]; then
    # Each test's target is named after the test: build the labelled ones and what they link.
    mapfile -t targets < <(cd "$dir" && ctest -N -L tsan | sed -n 's/^ *Test *#[0-9]*: *//p')
    if [ "${#targets[@]}" -eq 0 ]; then
        echo "no tests labelled tsan" >&2
        exit 1
    fi
    cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
elif [ "${#only[@]}" -gt 0 ]; then
    cmake --build "$dir" -j "$jobs" --target "${only[@]}"
else
    cmake --build "$dir" -j "$jobs"
fi
