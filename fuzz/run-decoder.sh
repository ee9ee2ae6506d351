#!/usr/bin/env bash
# Builds the message decoder fuzz target with clang (ASan, UBSan) and runs it for a bounded time,
# seeded with the test messages. Usage: fuzz/run-decoder.sh [SECONDS]  (default 120)
# Exits non-zero on a crash, a hang (10 s for one input), a sanitizer report or a memory blow-up.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
build=build-fuzz

# The fuzz build needs clang and its libFuzzer runtime, which the ordinary build does not.
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a \
        >/dev/null 2>&1; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 install -y --no-install-recommends clang \
        libclang-rt-14-dev
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DMAILVANE_FUZZ=ON -DMAILVANE_TESTS=OFF \
    -DMAILVANE_GUI=OFF -DMAILVANE_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target decoder_fuzz

corpus="$build/decoder-corpus"
mkdir -p "$corpus"
cp tests/data/mail/*.eml "$corpus/"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"$build/bin/decoder_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/" "$corpus"
