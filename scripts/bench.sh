#!/usr/bin/env bash
# Builds in release mode and runs the benchmarks on books of 1,000, 10,000 and 100,000 generated
# records. Offscreen; needs no display. Results: build-release/bench.json.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release --parallel "$(nproc)" --target bench_workloads
mkdir -p build-release/bench-books
QT_QPA_PLATFORM=offscreen ./build-release/bench/bench_workloads --work build-release/bench-books \
  --json build-release/bench.json "$@"
