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
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

cmake -S "$root" -B "$dir" "${flags[@]}" "${launcher[@]}" >/dev/null
cmake --build "$dir" -j "$jobs"
