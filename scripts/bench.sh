#!/usr/bin/env bash
# Builds the benchmarks of bench/ in build-bench/ (optimised, apart from the
# test build) and runs them, each printing its ratios to its peer or floor.
#   scripts/bench.sh                         every benchmark
#   scripts/bench.sh excel_names_bench ...   the ones named
# Peers from npm (ExcelJS, HyperFormula) take part when NODE_PATH names a
# node_modules folder that holds them. orvan_attributes_bench measures the
# PostgreSQL store too, on the server OVC_TEST_POSTGRES_URI names or else on
# a throwaway cluster (scripts/postgres.sh run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build-bench -G Ninja -DOVC_BENCHMARKS=ON >/dev/null
benchmarks=("$@")
if [ ${#benchmarks[@]} -eq 0 ]; then
  for source in bench/*_bench.cpp; do
    benchmarks+=("$(basename "$source" .cpp)")
  done
fi
ninja -C build-bench "${benchmarks[@]}"
for benchmark in "${benchmarks[@]}"; do
  echo "bench: $benchmark"
  if [ "$benchmark" = orvan_attributes_bench ]; then
    scripts/postgres.sh run build-bench/bench/"$benchmark" --store postgres
  else
    build-bench/bench/"$benchmark"
  fi
done
