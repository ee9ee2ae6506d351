#!/usr/bin/env bash
# Builds the header fuzz target with clang and the sanitizers and runs it for a bounded time.
# Usage: fuzz/run-headers.sh [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DMAILVANE_FUZZ=ON -DMAILVANE_TESTS=OFF \
    -DMAILVANE_GUI=OFF >/dev/null
cmake --build build-fuzz --target header_fuzz
corpus=build-fuzz/corpus-headers
mkdir -p "$corpus"
cp -n fuzz/seeds/headers/* "$corpus"/ 2>/dev/null || true
build-fuzz/bin/header_fuzz -max_total_time="$seconds" -max_len=4096 -timeout=5 "$corpus"
