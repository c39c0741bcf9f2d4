# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Shared set-up of the runs that kill a writer again and again (savekill.sh, editkill.sh): the
# savekill helper and a fresh demo home. Sourced, not run.
# Expects: $build; fills $tool, $work (removed at exit), $base (the demo as generated) and $dir
# (only its XML files: the pictures and sounds stay in $base, as nothing writes them).
tool="$build/bench/soak/savekill"
[ -x "$tool" ] || { echo "FAIL: $tool is missing: build the target savekill" >&2; exit 1; }
[ -x "$build/tools/demogen/verandix-demogen" ] || { echo "FAIL: build verandix-demogen" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
base="$work/base"
dir="$work/home"
mkdir -p "$base"
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen "$build/tools/demogen/verandix-demogen" \
    --flat --out "$base" >/dev/null 2>&1 || { echo "FAIL: verandix-demogen failed" >&2; exit 1; }
cp -a "$base" "$dir"
find "$dir" -type f ! -name '*.xml' -delete
