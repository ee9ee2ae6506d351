#!/usr/bin/env bash
# A stand-in for NetworkManager's nmcli in the dial-up tests, driven by files in $FAKE_NMCLI_DIR:
#   connections  one terse "name:type" line per connection profile
#   active       the active connections, in the same form
#   stopped      present: NetworkManager is not running
#   up-error     present: "connection up" writes it to standard error and exits with 4
#   up-seconds   "connection up" takes this many seconds
# Every call appends its arguments to "calls", one line each.
set -u
dir=$FAKE_NMCLI_DIR
echo "$*" >>"$dir/calls"
[ "${1:-}" = --wait ] && shift 2

escaped() { printf '%s' "$1" | sed 's/[\\:]/\\&/g'; }
profile() { awk -v p="$(escaped "$1"):" 'index($0, p) == 1' "$2" 2>/dev/null; }

case "$*" in
"-t -f RUNNING general")
    if [ -e "$dir/stopped" ]; then echo "Error: NetworkManager is not running." >&2; exit 8; fi
    echo running ;;
"-t -f NAME connection show")
    sed 's/^\(\([^\\:]\|\\.\)*\):.*/\1/' "$dir/connections" ;;
"-t -f NAME,TYPE connection show --active")
    cat "$dir/active" 2>/dev/null ;;
"connection up id "*)
    if [ -e "$dir/up-seconds" ]; then
        sleep "$(cat "$dir/up-seconds")" &
        trap 'kill $!; exit 143' TERM
        wait $!
    fi
    if [ -e "$dir/up-error" ]; then cat "$dir/up-error" >&2; exit 4; fi
    line=$(profile "$4" "$dir/connections")
    [ -n "$line" ] || { echo "Error: unknown connection '$4'." >&2; exit 10; }
    echo "$line" >>"$dir/active"
    echo "Connection successfully activated (D-Bus active path: /org/freedesktop/NetworkManager/ActiveConnection/7)" ;;
"connection down id "*)
    keep=$(awk -v p="$(escaped "$4"):" 'index($0, p) != 1' "$dir/active" 2>/dev/null)
    printf '%s\n' "$keep" | sed '/^$/d' >"$dir/active"
    echo "Connection '$4' successfully deactivated" ;;
*)
    echo "Error: unexpected arguments: $*" >&2; exit 2 ;;
esac
