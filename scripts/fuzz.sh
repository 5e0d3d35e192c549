#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60) on a copy of its
# seed corpus. Findings are written to build-fuzz/findings/ and make the script fail.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKIVO_FUZZ=ON -DKIVO_BUILD_WINDOW=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"
mkdir -p "$build/findings"
status=0
for target in dispatch cp932 numeric; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    cp -n "$root/tests/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null || true
    echo "== $target: ${seconds}s"
    if ! "$build/bin/${target}_fuzz" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -max_len=4096 -artifact_prefix="$build/findings/${target}-" -print_final_stats=1 2>"$build/$target.log"; then
        status=1
        tail -n 40 "$build/$target.log"
    fi
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$build/$target.log" | tail -n 2 || true
done
exit $status
