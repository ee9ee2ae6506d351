#!/usr/bin/env bash
# Installs what is missing, builds, and shows the built-in demo mailbox: in the desktop program
# when a display is there, else checked by the command line.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DMAILVANE_TESTS=OFF
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    cmake --build build --target mailvane
    exec build/bin/mailvane --demo
fi
cmake --build build --target mailvane-cli
build/bin/mailvane-cli demo
