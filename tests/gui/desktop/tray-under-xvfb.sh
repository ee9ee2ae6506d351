#!/bin/sh
# tray-under-xvfb.sh PROBE: runs PROBE on a private X server whose notification area is trayer's,
# and answers with PROBE's exit code.
set -eu
# The probe needs the X server, whatever the rest of the tests run on.
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a sh -c '
    trayer --edge top --align right --widthtype request --height 24 &
    host=$!
    "$0"
    status=$?
    kill "$host"
    exit "$status"' "$1"
