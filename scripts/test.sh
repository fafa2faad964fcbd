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
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
