#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# signal-exit.sh MAILVANE: SIGTERM and SIGINT end the desktop program as its Exit does, cleanly
# (status 0) and with its own files tidied. Two starts, offscreen:
#   - "start up in the tray" with no notification area, so a box is up at start-up, before the
#     event loop runs: SIGTERM then must end the program, not leave it running;
#   - the demo: SIGINT must end it and remove the demo's temporary home.
set -eu
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
failed=0

# run NAME SIGNAL ARGS...: starts the program, waits for its single-instance socket (and a moment
# for the start-up to reach its box), sends SIGNAL and expects exit status 0 within 20 seconds.
run() {
    name=$1 signal=$2
    shift 2
    rm -rf "$work/runtime" "$work/tmp"
    mkdir -m 700 "$work/runtime" "$work/tmp"
    XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" "$program" "$@" &
    pid=$!
    tries=0
    until [ -n "$(ls "$work/runtime")" ] || [ "$tries" -gt 200 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    sleep 1
    kill -s "$signal" "$pid"
    tries=0
    while kill -0 "$pid" 2>/dev/null && [ "$tries" -lt 200 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAILED: $name: still running after SIG$signal"
        kill -s KILL "$pid"
        wait "$pid" || true
        failed=1
        return
    fi
    status=0
    wait "$pid" || status=$?
    if [ "$status" -eq 0 ]; then echo "ok: $name"; else echo "FAILED: $name: status $status"; failed=1; fi
}

mkdir -m 700 "$work/home"
printf '[General]\r\nSysTray=1\r\n' >"$work/home/settings.ini"
run "SIGTERM during a start-up box" TERM --home "$work/home"

run "SIGINT in the demo" INT --demo
if [ -n "$(ls "$work/tmp" | grep mailvane-demo || true)" ]; then
    echo "FAILED: the demo's temporary home is left behind"
    failed=1
else
    echo "ok: the demo's temporary home is gone"
fi
exit "$failed"
