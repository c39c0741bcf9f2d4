#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Configures and builds one build tree. Usage: scripts/build.sh [normal|asan]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
kind="${1:-normal}"
jobs="$(nproc)"

case "$kind" in
    normal) dir="$root/build";      flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERANDIX_WERROR=ON) ;;
    asan)   dir="$root/build-asan"; flags=(-DCMAKE_BUILD_TYPE=Debug -DVERANDIX_WERROR=ON -DVERANDIX_SANITIZE=ON -DVERANDIX_BENCH=OFF) ;;
    *) echo "usage: $0 [normal|asan]" >&2; exit 2 ;;
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
cmake --build "$dir" -j "$jobs"
