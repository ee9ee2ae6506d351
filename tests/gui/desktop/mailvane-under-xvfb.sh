#!/bin/sh
# mailvane-under-xvfb.sh MAILVANE: the desktop program itself on a private X server whose
# notification area is trayer's. Started for a fresh home with "start up in the tray" on, its icon
# must be embedded in the tray; a second start for the same home must end at once with 0 (it only
# brings the first forward), leaving the first running; SIGTERM then ends the first.
set -eu
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/home" "$work/runtime"
printf '[General]\r\nSysTray=1\r\n' >"$work/home/settings.ini"
# The single-instance socket lives here, away from any Mailvane the user runs.
export XDG_RUNTIME_DIR="$work/runtime"
export QT_QPA_PLATFORM=xcb
status=0
xvfb-run -a sh -c '
    program=$1 home=$2
    trayer --edge top --align right --widthtype request --height 24 &
    host=$!
    first=
    finish() {
        [ -n "$first" ] && kill "$first" 2>/dev/null
        kill "$host" 2>/dev/null
        exit "$1"
    }
    check() { # check WHAT STATUS
        if [ "$2" -eq 0 ]; then echo "ok: $1"; else echo "FAILED: $1"; finish 1; fi
    }
    # Whether a window named "Mailvane" sits below trayer'"'"'s "panel" window.
    embedded() {
        xwininfo -root -tree | awk "
            { match(\$0, /^ */); indent = RLENGTH }
            inside && indent <= panel && NF { inside = 0 }
            /\"panel\":/ { inside = 1; panel = indent; next }
            inside && /\"Mailvane\":/ { found = 1 }
            END { exit !found }"
    }
    # The program looks for a notification area once, at start-up: the tray host comes first.
    tries=0
    until xwininfo -root -tree | grep -q "\"panel\":" || [ "$tries" -gt 100 ]; do
        tries=$((tries + 1))
        sleep 0.1
    done
    "$program" --home "$home" &
    first=$!
    tries=0
    until embedded; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ] || ! kill -0 "$first" 2>/dev/null; then break; fi
        sleep 0.2
    done
    embedded && found=0 || found=1
    check "the program started into the tray has its icon embedded in the tray host" "$found"

    started=$(date +%s)
    status=0
    timeout 10 "$program" --home "$home" || status=$?
    check "a second start for the same home ends with 0 (status $status)" "$status"
    [ $(($(date +%s) - started)) -le 5 ] && quick=0 || quick=1
    check "the second start ends at once" "$quick"
    kill -0 "$first" 2>/dev/null && running=0 || running=1
    check "the first one keeps running" "$running"

    kill -TERM "$first"
    tries=0
    while kill -0 "$first" 2>/dev/null && [ "$tries" -lt 50 ]; do
        tries=$((tries + 1))
        sleep 0.1
    done
    kill -0 "$first" 2>/dev/null && ended=1 || ended=0
    check "SIGTERM ends the first one" "$ended"
    first=
    finish 0' sh "$program" "$work/home" || status=$?
exit "$status"
