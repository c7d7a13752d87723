#!/usr/bin/env bash
# Installs what is missing, builds Quendel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DQUENDEL_TESTS=OFF -DQUENDEL_BENCH=OFF
cmake --build build/release -j"$(nproc)" --target Quendel quendel-patch
exec build/release/ui/Quendel
