#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
# KV_SANITIZE=1 builds with AddressSanitizer and UBSan into build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
if [ "${KV_SANITIZE:-0}" = 1 ]; then
  build=build-asan; extra=(-DKV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
else
  build=build; extra=()
fi
cmake -S . -B "$build" -G Ninja "${extra[@]}"
# CMAKE_BUILD_PARALLEL_LEVEL, when set, is the number of build jobs; else one a core.
jobs=()
[ -n "${CMAKE_BUILD_PARALLEL_LEVEL:-}" ] || jobs=(--parallel "$(nproc)")
cmake --build "$build" "${jobs[@]}"
# The same for the tests with CTEST_PARALLEL_LEVEL.
test_jobs=()
[ -n "${CTEST_PARALLEL_LEVEL:-}" ] || test_jobs=(--parallel "$(nproc)")
ctest --test-dir "$build" --output-on-failure "${test_jobs[@]}"
