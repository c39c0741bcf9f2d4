#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Renders the PNG sizes of the application icon from icons/verandix.svg (needs rsvg-convert from
# Debian's librsvg2-bin). Re-run after changing the drawing and commit the PNG files.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$here/icons/verandix.svg" -o "$here/icons/verandix-$size.png"
done
