#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Builds the Debian package and checks it without installing it on this machine:
#   - contents: the five programs (the demo generator too), menu entry, icons, AppStream metadata,
#     man page, user guide and commissioning guide, the bridge service (dpkg-deb -c);
#   - control data: name, version, library dependencies found by dpkg-shlibdeps (dpkg-deb -I);
#   - apt can resolve every dependency on this system (apt-get --simulate, nothing is changed);
#   - unpacked into a scratch root (dpkg -x): the programs run from there, `verandix --version`
#     shows the version of the build, the desktop entry and metadata validate, and the menu's
#     command starts the demo home (offscreen) and keeps running;
#   - the bridge service's exposure as systemd rates it (`systemd-analyze security --offline`,
#     0 safe .. 10 unsafe) stays at or below VERANDIX_MAX_EXPOSURE (default 3.0).
#
#   scripts/package.sh [--check-only DEB]
# The build folder is VERANDIX_PACKAGE_BUILD (default build-package in the source tree).
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VERANDIX_PACKAGE_BUILD:-$root/build-package}"
deb=""
if [ "${1:-}" = "--check-only" ]; then
    deb="${2:?--check-only needs the .deb}"
fi

# shellcheck source=scripts/checklist.sh
source "$root/scripts/checklist.sh"

if [ -z "$deb" ]; then
    launcher=()
    if command -v ccache >/dev/null; then
        export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVERANDIX_BENCH=OFF \
        "${launcher[@]}" >/dev/null || exit 2
    cmake --build "$build" -j"${VERANDIX_PACKAGE_JOBS:-2}" \
        --target verandix verandix-homesim verandix-check mkpackage verandix-demogen \
        verandix-manpage verandix-userguide || exit 2
    # Only the five programs, the files of packaging/ and the two guides have install rules.
    (cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log"; exit 2; }
    deb="$(ls -t "$build"/verandix_*.deb | head -1)"
fi
deb="$(readlink -f "$deb")"
echo "package: $deb"

scratch="$(mktemp -d)"
app=""
trap '[ -n "$app" ] && kill "$app" 2>/dev/null; rm -rf "$scratch"' EXIT

contents="$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -vx '/')"
for path in /usr/bin/verandix /usr/bin/verandix-homesim /usr/bin/verandix-check /usr/bin/mkpackage \
    /usr/bin/verandix-demogen /usr/share/doc/verandix/commissioning.html \
    /usr/share/applications/org.verandix.Verandix.desktop \
    /usr/share/metainfo/org.verandix.Verandix.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/verandix.svg \
    /usr/share/icons/hicolor/48x48/apps/verandix.png \
    /usr/share/icons/hicolor/256x256/apps/verandix.png \
    /usr/share/man/man1/verandix.1.gz \
    /usr/share/doc/verandix/user-guide.html \
    /usr/lib/systemd/system/verandix-bridge.service; do
    check "contains $path" grep -qx "$path" <<<"$contents"
done
check "nothing outside /usr" bash -c '! grep -v "^/usr" <<<"$1" | grep -q .' _ "$contents"

info="$(dpkg-deb -f "$deb")"
version="$(dpkg-deb -f "$deb" Version)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "version: $version"
echo "depends: $depends"
check "package name is verandix" test "$(dpkg-deb -f "$deb" Package)" = verandix
for lib in libqt5core5a libqt5gui5 libqt5widgets5 libqt5network5 libqt5multimedia5 libmodbus5 \
    libqt5charts5 libc6 libstdc++6 libqt5multimedia5-plugins; do
    check "depends on $lib" grep -q "\\b$lib\\b" <<<"$depends"
done
if [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null; then
    check "apt resolves the dependencies" apt-get --simulate -q install "$deb"
fi

dpkg -x "$deb" "$scratch/root"
bin="$scratch/root/usr/bin"
check "verandix --version shows $version" \
    bash -c '[ "$("$1" --version)" = "verandix $2" ]' _ "$bin/verandix" "$version"
check "verandix --help names -config" bash -c '"$1" --help | grep -q -- -config' _ "$bin/verandix"
check "verandix-homesim --help runs" "$bin/verandix-homesim" --help
check "mkpackage runs" bash -c '"$1" --help; [ $? -le 2 ]' _ "$bin/mkpackage"
check "verandix-demogen writes the demo home" bash -c \
    'QT_QPA_PLATFORM=offscreen "$1" --flat --out "$2/demo" >/dev/null && [ -f "$2/demo/config.xml" ]' \
    _ "$bin/verandix-demogen" "$scratch"
check "man page formats" bash -c 'man -l "$1" | grep -q "verandix"' _ \
    "$scratch/root/usr/share/man/man1/verandix.1.gz"
if command -v desktop-file-validate >/dev/null; then
    check "desktop entry validates" desktop-file-validate \
        "$scratch/root/usr/share/applications/org.verandix.Verandix.desktop"
fi
if command -v appstreamcli >/dev/null; then
    check "AppStream metadata validates" appstreamcli validate --no-net \
        "$scratch/root/usr/share/metainfo/org.verandix.Verandix.metainfo.xml"
    check "AppStream metadata carries $version" \
        grep -q "release version=\"$version\"" \
        "$scratch/root/usr/share/metainfo/org.verandix.Verandix.metainfo.xml"
fi

# The service runs with a user of its own, no capabilities and a read-only system; a change that
# opens it up again shows in systemd's own rating.
unit="$scratch/root/usr/lib/systemd/system/verandix-bridge.service"
max_exposure="${VERANDIX_MAX_EXPOSURE:-3.0}"
if command -v systemd-analyze >/dev/null; then
    exposure="$(systemd-analyze security --offline=yes "$unit" 2>/dev/null |
        sed -n 's/^.*Overall exposure level for .*: \([0-9.]*\).*$/\1/p')"
    echo "bridge service exposure: ${exposure:-unknown} (at most $max_exposure)"
    # The threshold is given in tenths of the rating.
    check "bridge service exposure ${exposure:-unknown} is at most $max_exposure" \
        systemd-analyze security --offline=yes \
        --threshold="$(awk -v m="$max_exposure" 'BEGIN { printf "%d", m * 10 }')" "$unit"
else
    check "systemd-analyze is installed (scripts/setup.sh)" false
fi

# The menu's command with an empty home folder: no configuration, so the program offers the
# demo. It must still be running after a few seconds (a crash or an early exit fails the check).
exec_line="$(sed -n 's/^Exec=//p' "$scratch/root/usr/share/applications/org.verandix.Verandix.desktop")"
mkdir -p "$scratch/home"
(cd "$scratch" && HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen \
    PATH="$bin:$PATH" exec $exec_line >"$scratch/app.log" 2>&1) &
app=$!
alive=1
for _ in 1 2 3 4 5 6 7 8 9 10; do
    kill -0 "$app" 2>/dev/null || { alive=0; break; }
    sleep 0.5
done
check "menu command ($exec_line) starts and keeps running" test "$alive" -eq 1
kill "$app" 2>/dev/null
wait "$app" 2>/dev/null
app=""

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all package checks passed"
