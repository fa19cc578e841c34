#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs one: ./fuzz.sh NAME [SECONDS]
# New findings land in build-fuzz/findings/NAME; the seed corpus is fuzz/corpus/NAME.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
name=${1:?usage: ./fuzz.sh NAME [SECONDS]}
seconds=${2:-600}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1" \
  -DTOVRA_TESTS=OFF -DTOVRA_FUZZ=ON "-DTOVRA_SANITIZE=address;undefined" >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "fuzz_$name"
mkdir -p "build-fuzz/findings/$name" "build-fuzz/work/$name"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
exec "build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -artifact_prefix="build-fuzz/findings/$name/" \
  "build-fuzz/work/$name" "fuzz/corpus/$name"
