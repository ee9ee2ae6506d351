#!/usr/bin/env bash
# Builds one fuzz target with clang (ASan, UBSan, libFuzzer) in build-fuzz/ and runs it for a
# bounded time on a copy of its seeds, so the checked-in seeds stay as they are.
# Usage: fuzz/run.sh headers|decoder|dns [SECONDS]   (default 60)
# Exits non-zero on a crash, a hang (10 s for one input), a sanitizer report or a memory blow-up;
# the input that caused it is left in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?usage: fuzz/run.sh headers|decoder|dns [SECONDS]}
seconds=${2:-60}
build=build-fuzz

case "$name" in
    headers) target=header_fuzz;  seeds=(fuzz/corpus/headers/*); max_len=4096 ;;
    decoder) target=decoder_fuzz; seeds=(tests/data/mail/*.eml);  max_len=65536 ;;
    dns)     target=dns_fuzz;     seeds=(fuzz/corpus/dns/*);      max_len=1024 ;;
    *) echo "unknown fuzz target: $name" >&2; exit 2 ;;
esac

# The fuzz build needs clang and its libFuzzer runtime, which the ordinary build does not.
if ! command -v clang++ >/dev/null ||
    ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 install -y --no-install-recommends clang \
        libclang-rt-14-dev
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DMAILVANE_FUZZ=ON -DMAILVANE_TESTS=OFF \
    -DMAILVANE_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target "$target"

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "${seeds[@]}" "$corpus"/
mkdir -p "$build/artifacts"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"$build/bin/$target" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$build/artifacts/"
