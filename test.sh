#!/usr/bin/env bash
# Installs what is missing, builds every test under AddressSanitizer and UndefinedBehaviorSanitizer
# (and the threaded tests under ThreadSanitizer), and runs them all with ctest. The sanitizer build
# compiles the product code (not the tests) with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

jobs=$(nproc)
# A compiler cache, when the machine has one, makes a rebuild of unchanged files nearly free.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS="-O1" -DCMAKE_CXX_FLAGS="-O1" \
  "-DTOVRA_SANITIZE=address;undefined" -DTOVRA_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build-test -j "$jobs"

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS="-O1" -DCMAKE_CXX_FLAGS="-O1" \
  -DTOVRA_SANITIZE=thread -DTOVRA_TSAN_ONLY=ON "${launcher[@]}" >/dev/null
cmake --build build-tsan -j "$jobs"

status=0
ctest --test-dir build-test --output-on-failure -j "$jobs" || status=1
ctest --test-dir build-tsan --output-on-failure -j "$jobs" --no-tests=ignore || status=1

# The slowest tests of this run, beside the time-outs they must stay well under
# (cmake/TovraTargets.cmake and each test folder's SLOW list).
slowest() {
  local log="$1/Testing/Temporary/LastTest.log"
  if [ -f "$log" ]; then
    awk -v build="$1" '/^[0-9]+\/[0-9]+ Test: /{name=$3}
      /^Test time = /{printf "%8.2f s  %s (%s)\n", $4, name, build}' "$log"
  fi
}
echo "Slowest tests:"
{ slowest build-test; slowest build-tsan; } | sort -rn | head -n 10 || true
exit $status
