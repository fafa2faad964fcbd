#!/usr/bin/env bash
# Builds in release mode and runs the benchmarks on books of 1,000, 10,000 and 100,000 generated
# records. Offscreen; needs no display. Results: build-release/bench.json.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# CMAKE_BUILD_PARALLEL_LEVEL, when set, is the number of build jobs; else one a core.
jobs=()
[ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ] || jobs=(--parallel "$(nproc)")
cmake --build build-release "${jobs[@]}" --target bench_workloads
mkdir -p build-release/bench-books
QT_QPA_PLATFORM=offscreen ./build-release/bench/bench_workloads --work build-release/bench-books \
  --json build-release/bench.json "$@"
