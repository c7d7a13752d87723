#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: once with
# warnings as errors, once under AddressSanitizer and UndefinedBehaviorSanitizer;
# in between, builds the Debian package, installs it, checks it and removes it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)

# Formatting: the tree must be as clang-format leaves it.
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENDEL_WERROR=ON
cmake --build build/ci -j"$jobs"
ctest --test-dir build/ci --output-on-failure -j"$jobs"

# The Debian package, installed and removed again (needs root or sudo).
scripts/package-test.sh

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQUENDEL_WERROR=ON -DQUENDEL_SANITIZE=ON -DQUENDEL_BENCH=OFF
cmake --build build/sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/sanitize --output-on-failure -j"$jobs"
