#!/usr/bin/env bash
# Fuzzes the DNS answer parser for a bounded time: run-dns.sh [SECONDS] (default 60).
# Builds the fuzz target with clang in build-fuzz/ and works on a copy of the seed corpus, so the
# checked-in seeds stay as they are. A crash leaves its input in build-fuzz/dns-artifacts/.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

cmake -S "$root" -B "$build" -G Ninja -DMAILVANE_FUZZ=ON -DMAILVANE_GUI=OFF -DMAILVANE_TESTS=OFF \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target fuzz_dns_response

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$root"/fuzz/corpus/dns/* "$corpus"/
mkdir -p "$build/dns-artifacts"
"$build/bin/fuzz_dns_response" "$corpus" -max_total_time="$seconds" -max_len=1024 \
    -artifact_prefix="$build/dns-artifacts/" -print_final_stats=1
