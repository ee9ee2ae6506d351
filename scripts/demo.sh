#!/usr/bin/env bash
# Installs what is missing, builds, and checks the built-in demo mailbox.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DMAILVANE_TESTS=OFF
cmake --build build --target mailvane-cli
build/bin/mailvane-cli demo
