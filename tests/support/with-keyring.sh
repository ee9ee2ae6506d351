#!/bin/sh
# with-keyring.sh PROGRAM [ARGS...]: runs PROGRAM on a private D-Bus session bus with a private,
# unlocked GNOME Keyring in a temporary home, so keyring tests never touch the user's own keyring.
# With --no-keyring first, the private bus has no Secret Service at all. Without the programs the
# keyring tests skip themselves.
set -eu
keyring=yes
if [ "${1:-}" = "--no-keyring" ]; then keyring=no; shift; fi
command -v gnome-keyring-daemon >/dev/null || keyring=no
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home/run" MAILVANE_PRIVATE_BUS=1
if ! command -v dbus-run-session >/dev/null; then
    # Never the user's own session bus.
    unset DBUS_SESSION_BUS_ADDRESS
    "$@"
elif [ "$keyring" = no ]; then
    dbus-run-session -- "$@"
else
    # The daemon leaves with the session bus when dbus-run-session ends. It forks before it has
    # taken the Secret Service's name on the bus, so the program waits (5 s at most) until it has.
    dbus-run-session -- sh -c 'printf test | gnome-keyring-daemon --unlock --components=secrets \
        >/dev/null || exit 1
        for _ in $(seq 50); do
            dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
                org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
                grep -q "boolean true" && break
            sleep 0.1
        done
        exec "$@"' sh "$@"
fi
