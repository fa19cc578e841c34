#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all (or those named on the command line).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVRA_TESTS=OFF -DTOVRA_BENCH=ON >/dev/null
cmake --build build-bench -j "$(nproc)"
cd build-bench/bench
if [ $# -gt 0 ]; then set -- "${@/#/bench_}"; else set -- bench_*; fi
for b in "$@"; do
  [ -x "$b" ] && "./$b" --benchmark_out="$b.json" --benchmark_out_format=json
done
python3 ../../scripts/bench-ratios.py ./*.json
