#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Installs the Debian package the way a person does, on a Debian 12 that has nothing else: a
# minimal root made by debootstrap from the Debian mirror, where `apt-get install ./verandix.deb`
# has to find every dependency itself. Then, on a virtual display of this machine:
#   - the menu entry's command starts the installed program, which offers the built-in demo;
#   - a click on "Run Demo" opens the demo home, which polls its controller: the installed
#     simulator, listening where the demo looks for it, sees the program connect and read;
#   - `verandix --version` shows the package's version, the man page and the icon are in place.
#
#   scripts/install-check.sh [DEB]    default: the newest build-package/verandix_*.deb
# Needs root (debootstrap, chroot, mounts). Downloaded packages are kept in
# VERANDIX_DEBOOTSTRAP_CACHE (default /var/cache/verandix-debootstrap) for the next run; the
# mirror is VERANDIX_DEBIAN_MIRROR (default http://deb.debian.org/debian). Screenshots of the
# program before and after the click land in VERANDIX_INSTALL_SHOTS (default build-package/).
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deb="${1:-$(ls -t "$root"/build-package/verandix_*.deb 2>/dev/null | head -1)}"
[ -n "$deb" ] && [ -f "$deb" ] || { echo "install-check: no package (scripts/package.sh builds one)" >&2; exit 2; }
deb="$(readlink -f "$deb")"
[ "$(id -u)" -eq 0 ] || { echo "install-check: needs root (debootstrap, chroot)" >&2; exit 2; }
for tool in debootstrap Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "install-check: $tool missing (scripts/setup.sh)" >&2; exit 2; }
done
mirror="${VERANDIX_DEBIAN_MIRROR:-http://deb.debian.org/debian}"
cache="${VERANDIX_DEBOOTSTRAP_CACHE:-/var/cache/verandix-debootstrap}"
shots="${VERANDIX_INSTALL_SHOTS:-$(dirname "$deb")}"
mkdir -p "$cache" "$shots"

target="$(mktemp -d /var/tmp/verandix-fresh.XXXXXX)"
mounted=()
pids=()
cleanup() {
    local p m i
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
    # Processes started inside the root may have children of their own.
    for p in $(ls /proc | grep -E '^[0-9]+$'); do
        [ "$(readlink "/proc/$p/root" 2>/dev/null)" = "$target" ] && kill -9 "$p" 2>/dev/null
    done
    for ((i = ${#mounted[@]} - 1; i >= 0; --i)); do umount -l "${mounted[$i]}" 2>/dev/null; done
    # Only remove the root once nothing is mounted in it any more.
    if ! grep -q " $target" /proc/mounts; then rm -rf "$target"; fi
}
trap cleanup EXIT

# shellcheck source=scripts/checklist.sh
source "$root/scripts/checklist.sh"
in_root() { chroot "$target" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    LANG=C.UTF-8 "$@"; }

echo "package: $deb"
echo "fresh root: $target (debootstrap bookworm from $mirror)"
started=$SECONDS
if ! debootstrap --variant=minbase --cache-dir="$cache" bookworm "$target" "$mirror" \
    >"$shots/install-check-debootstrap.log" 2>&1; then
    tail -20 "$shots/install-check-debootstrap.log" >&2
    echo "install-check: debootstrap failed" >&2
    exit 2
fi
echo "root made in $((SECONDS - started)) s with $(in_root dpkg-query -f '.\n' -W | wc -l) packages"

bind() { mkdir -p "$target$2"; mount $1 "$target$2" && mounted+=("$target$2"); }
bind "-t proc proc" /proc
bind "--rbind /sys" /sys
bind "--rbind /dev" /dev
bind "--bind /tmp/.X11-unix" /tmp/.X11-unix
cp /etc/resolv.conf "$target/etc/resolv.conf" 2>/dev/null

cp "$deb" "$target/root/"
name="$(basename "$deb")"
started=$SECONDS
in_root apt-get update >"$shots/install-check-apt.log" 2>&1
check "apt installs ./$name with its dependencies" \
    in_root bash -c "cd /root && DEBIAN_FRONTEND=noninteractive apt-get install -y ./$name \
        >>/root/apt.log 2>&1"
cat "$target/root/apt.log" >>"$shots/install-check-apt.log" 2>/dev/null
echo "installed in $((SECONDS - started)) s;" \
    "$(in_root dpkg-query -f '.\n' -W | wc -l) packages now"
check "dpkg knows verandix as installed" \
    bash -c '[ "$(chroot "$1" dpkg-query -W -f "\${Status}" verandix)" = "install ok installed" ]' \
    _ "$target"
version="$(dpkg-deb -f "$deb" Version)"
check "verandix --version shows $version" \
    bash -c '[ "$(chroot "$1" verandix --version)" = "verandix $2" ]' _ "$target" "$version"
for path in /usr/share/applications/org.verandix.Verandix.desktop \
    /usr/share/icons/hicolor/scalable/apps/verandix.svg /usr/share/man/man1/verandix.1.gz \
    /usr/share/metainfo/org.verandix.Verandix.metainfo.xml; do
    check "installed $path" test -s "$target$path"
done

# The demo looks for its controller at 127.0.0.1:1502: the installed simulator takes that place
# (the root shares this machine's loopback).
sim_log="$target/root/sim.log"
chroot "$target" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/root QT_QPA_PLATFORM=offscreen \
    verandix-homesim --listen 127.0.0.1:1502 --log-reads >"$sim_log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q '^listening' "$sim_log" && break; sleep 0.1; done
check "installed simulator listens on 127.0.0.1:1502" grep -q '^listening on 127.0.0.1:1502' "$sim_log"

display=""
for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

# What the menu starts, as the menu starts it: the Exec line, from the person's home folder.
exec_line="$(sed -n 's/^Exec=//p' "$target/usr/share/applications/org.verandix.Verandix.desktop")"
mkdir -p "$target/tmp/runtime-root" && chmod 700 "$target/tmp/runtime-root"
chroot "$target" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/root DISPLAY="$display" \
    XDG_RUNTIME_DIR=/tmp/runtime-root LANG=C.UTF-8 bash -c "cd /root && exec $exec_line" \
    >"$shots/install-check-panel.log" 2>&1 &
app=$!
pids+=("$app")
window="$(DISPLAY="$display" timeout 30 xdotool search --sync --onlyvisible --name Verandix \
    2>/dev/null | head -1)"
check "menu command ($exec_line) opens a window" test -n "$window"
if [ -n "$window" ]; then
    sleep 2
    DISPLAY="$display" import -window root "$shots/install-check-splash.png" 2>/dev/null
    eval "$(DISPLAY="$display" xdotool getwindowgeometry --shell "$window")"
    # The splash is a 640 x 480 panel centred and scaled to the window's height.
    x=$(awk -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN { s = h / 480; printf "%d", (w - 640 * s) / 2 + 130 * s }')
    y=$(awk -v h="$HEIGHT" 'BEGIN { printf "%d", 305 * h / 480 }')
    DISPLAY="$display" xdotool mousemove --window "$window" "$x" "$y" click 1
    for _ in $(seq 150); do grep -q ' read ' "$sim_log" && break; sleep 0.2; done
    check "\"Run Demo\" opens the demo, which polls its controller" grep -q ' read ' "$sim_log"
    sleep 3
    DISPLAY="$display" import -window root "$shots/install-check-demo.png" 2>/dev/null
fi
check "the program is still running" kill -0 "$app"
echo "screenshots: $shots/install-check-splash.png $shots/install-check-demo.png"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed (logs: $shots/install-check-*.log)"
    exit 1
fi
echo "the package installs on a fresh Debian 12 and runs the demo from the menu's command"
