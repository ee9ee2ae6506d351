#!/usr/bin/env bash
# Renders the desktop program's windows as PNG files into OUTDIR (under Xvfb, so they look as on
# a desktop), after a check of the built-in demo mailbox. Further arguments name the windows to
# draw (main options progress reasons chooser splash about tray general spam editors countries
# import stats-start stats date-range); none draws them all.
set -euo pipefail
if [ $# -lt 1 ]; then
    echo "usage: scripts/screenshots.sh OUTDIR [NAME...]" >&2
    exit 2
fi
out=$(realpath -m "$1")
shift
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja
cmake --build build --target mailvane_screenshots -j2
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/mailvane_screenshots "$out" "$@"
