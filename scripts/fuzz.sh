#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60) on a copy of its
# seed corpus; new inputs that reach new code are kept in the copy for the next run.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      targets: dispatch cp932 numeric notices utf8 http_answer japanese (default all)
# KIVO_FUZZ_BUILD chooses the build directory (default build-fuzz). Findings are written to
# BUILD/findings/ and make the script fail; replay one with BUILD/bin/TARGET_fuzz FILE.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(dispatch cp932 numeric notices utf8 http_answer japanese)
build="${KIVO_FUZZ_BUILD:-$root/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKIVO_FUZZ=ON -DKIVO_BUILD_WINDOW=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]/%/_fuzz}"
mkdir -p "$build/findings"
status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    cp -n "$root/tests/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null || true
    echo "== $target: ${seconds}s"
    # A single input must finish within 10 s and 2 GB: a slow or greedy run is a finding too.
    if ! "$build/bin/${target}_fuzz" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 -artifact_prefix="$build/findings/${target}-" -print_final_stats=1 \
        >"$build/$target.log" 2>&1; then
        status=1
        tail -n 40 "$build/$target.log"
    fi
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$build/$target.log" | tail -n 2 || true
done
exit $status
