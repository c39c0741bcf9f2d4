#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Installs everything needed to build, test and run on a fresh Debian 12 machine. Safe to re-run.
set -euo pipefail

packages=(
    cmake g++ make pkg-config ccache
    qtbase5-dev qtmultimedia5-dev libqt5multimedia5-plugins libqt5svg5-dev libqt5charts5-dev zlib1g-dev
    libmodbus-dev libcpp-httplib-dev mbpoll ffmpeg
    libmosquitto-dev mosquitto mosquitto-clients openssl cmark
    xvfb xauth xdotool imagemagick fonts-liberation2 fontconfig
    pulseaudio pulseaudio-utils
    libssl-dev systemd
    clang libclang-rt-14-dev llvm dpkg-dev desktop-file-utils appstream librsvg2-bin debootstrap
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
