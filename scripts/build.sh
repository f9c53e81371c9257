#!/usr/bin/env bash
# Configures and builds into ./build: the program and its tests, and with --bench the benchmark as well (kept
# out of the everyday build, which it would lengthen by half a minute).
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(all)
if [ "${1-}" = "--bench" ]; then
    targets+=(tanamiru_bench)
elif [ "$#" -gt 0 ]; then
    echo "usage: $0 [--bench]" >&2
    exit 2
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target "${targets[@]}"
