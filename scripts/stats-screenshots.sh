#!/bin/sh
# Pictures of the statistics windows (start window, eight pages, hints, date range) over a demo
# log of a few months: scripts/stats-screenshots.sh OUTDIR
set -eu
[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" --target stats_screenshots -j2
QT_QPA_PLATFORM=offscreen "$build/bin/stats_screenshots" "$1"
