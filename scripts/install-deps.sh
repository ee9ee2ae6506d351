#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests and the demo need, when missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libssl-dev openssl
    libsecret-1-dev gnome-keyring dbus
    dovecot-pop3d dnsmasq-base
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev
    libgl-dev libxkbcommon-dev
    xvfb xauth x11-utils trayer poppler-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 update
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 install -y --no-install-recommends "${missing[@]}"
