#!/usr/bin/env bash
# Counts the instructions of the list window's copy of its records beside plain SQLite's copy of
# the same query, with callgrind, on a book of 100,000 generated records: each side run once in a
# process of its own, only the timed work counted (bench::timedWork). Instruction counts hold on
# a busy machine where the times of scripts/bench.sh do not.
#
#   bench/callgrind-copy.sh [workload ...]     (default: list-load-copied list-order-3)
#
# Needs valgrind. Books are kept in build-release/bench-books; the counts go to
# build-release/callgrind/.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)" >&2; exit 1; }
records=${RECORDS:-100000}
workloads=("$@")
[ ${#workloads[@]} -gt 0 ] || workloads=(list-load-copied list-order-3)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-4}" --target bench_workloads >/dev/null
bench=build-release/bench/bench_workloads
books=build-release/bench-books
out=build-release/callgrind
mkdir -p "$books" "$out"
export QT_QPA_PLATFORM=offscreen
# The book is generated outside valgrind.
"$bench" --work "$books" --sizes "$records" --runs 1 --only list-load-copied --side baseline \
  --json "$out/prepare.json" >/dev/null 2>&1

count() {  # workload side -> instructions of the timed work
  local file="$out/$1.$2.out"
  valgrind --tool=callgrind --toggle-collect='bench::timedWork*' --callgrind-out-file="$file" \
    "$bench" --work "$books" --sizes "$records" --runs 1 --only "$1" --side "$2" \
    --json "$out/$1.$2.json" >/dev/null 2>&1
  awk '/^(summary|totals):/ { n = $2 } END { print n }' "$file"
}

printf '%-20s %9s %16s %16s %7s\n' workload records program_Ir plain_Ir ratio
for w in "${workloads[@]}"; do
  program=$(count "$w" program)
  plain=$(count "$w" baseline)
  printf '%-20s %9d %16d %16d %7.2f\n' "$w" "$records" "$program" "$plain" \
    "$(awk -v a="$program" -v b="$plain" 'BEGIN { print a / b }')"
done
echo "profiles: $out/<workload>.<side>.out (callgrind_annotate --inclusive=yes)"
