#!/usr/bin/env bash
# Builds the rewriter's fuzz target with clang and runs it.
# Usage: scripts/fuzz.sh [SECONDS]   (default 900); new inputs land in build/fuzz/found,
# and `scripts/fuzz.sh merge` folds them, minimised, into fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/fuzzing
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENDEL_FUZZ=ON \
    -DQUENDEL_GUI=OFF -DQUENDEL_TESTS=ON -DQUENDEL_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" >/dev/null
cmake --build "$build" --target rewrite_fuzz -j"$(nproc)"
mkdir -p "$build/found"
if [ "${1:-}" = merge ]; then
    exec "$build/fuzz/rewrite_fuzz" -merge=1 fuzz/corpus "$build/found"
fi
cd "$build" && exec fuzz/rewrite_fuzz -max_total_time="${1:-900}" -max_len=4096 -print_final_stats=1 \
    found ../../fuzz/corpus
