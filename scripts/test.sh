#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The benchmarks are built too, so that they keep compiling; they are run by hand.
cmake -S . -B build-test -G Ninja -DMAILVANE_WERROR=ON -DMAILVANE_BENCH=ON
cmake --build build-test
# Nothing outside src/gui needs Qt: the same tree builds without the desktop program.
cmake -S . -B build-nogui -G Ninja -DMAILVANE_GUI=OFF -DMAILVANE_TESTS=OFF -DMAILVANE_WERROR=ON
cmake --build build-nogui
# A test that hangs fails after five minutes instead of holding the run.
ctest --test-dir build-test --output-on-failure -j "$(nproc)" --timeout 300
