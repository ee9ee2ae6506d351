#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DMAILVANE_WERROR=ON
cmake --build build-test
ctest --test-dir build-test --output-on-failure -j "$(nproc)"
