#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Redraws the program's built-in pictures in this folder with verandix-icongen and checks that
# the generator, LIST.txt and resources/resources.qrc name the same pictures.
#
#   resources/icons/regenerate.sh [--icongen PATH] [--build DIR] [--sheet FILE]
#
# Without --icongen the tool is built in DIR (default: build/, configured if needed). --sheet
# also writes a contact sheet (every picture on the dark bar and on the light page) for review;
# it is not committed. The output is byte-identical from run to run.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
icongen=""
build="$root/build"
sheet=""
while [ $# -gt 0 ]; do
    case "$1" in
        --icongen) icongen="$2"; shift 2 ;;
        --build) build="$2"; shift 2 ;;
        --sheet) sheet="$2"; shift 2 ;;
        -h|--help) sed -n '4,11p' "$0"; exit 0 ;;
        *) echo "regenerate.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
if [ -z "$icongen" ]; then
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    cmake --build "$build" --target verandix-icongen -j2 >/dev/null
    icongen="$build/tools/icongen/verandix-icongen"
fi

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
args=(--out "$stage/icons")
[ -n "$sheet" ] && args+=(--sheet "$sheet")
QT_QPA_PLATFORM=offscreen "$icongen" "${args[@]}"

# The generator and the list must agree, name for name.
QT_QPA_PLATFORM=offscreen "$icongen" --list | LC_ALL=C sort > "$stage/generated.txt"
grep -v '^#' "$here/LIST.txt" | sed '/^$/d' | LC_ALL=C sort > "$stage/listed.txt"
if ! diff -u "$stage/listed.txt" "$stage/generated.txt" >&2; then
    echo "regenerate.sh: LIST.txt and the generator disagree (- listed, + generated)" >&2
    exit 1
fi

rm -f "$here"/*.png
cp "$stage"/icons/*.png "$here/"

missing=0
while read -r name; do
    if ! grep -q "alias=\"$name\">icons/$name<" "$root/resources/resources.qrc"; then
        echo "regenerate.sh: add to resources/resources.qrc:" \
             "<file alias=\"$name\">icons/$name</file>" >&2
        missing=1
    fi
done < "$stage/listed.txt"
echo "regenerate.sh: $(wc -l < "$stage/listed.txt") pictures written to $here"
exit $missing
