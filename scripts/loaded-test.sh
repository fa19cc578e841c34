#!/usr/bin/env bash
# Runs the whole suite (./test.sh), each time from a fresh clone of this repository's current
# commit, on a loaded machine: three times on every core while a CPU hog keeps them all busy, then once pinned
# to two cores beside the same hog. Prints each run's time, its result and its slowest tests.
#
#   scripts/loaded-test.sh [work-folder]
#
# The clones go into work-folder (default: a new temporary folder), which is kept for a look at
# the logs. Environment: LOADED_RUNS (3), HOG_WORKERS (16), PINNED_CPUS (0,1); ccache is used
# when installed. Uncommitted changes are not part of the clone.
set -uo pipefail

repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel) || exit 1
commit=$(git -C "$repo" rev-parse HEAD) || exit 1
work=${1:-$(mktemp -d /tmp/loaded-test.XXXXXX)}
runs=${LOADED_RUNS:-3}
hogWorkers=${HOG_WORKERS:-16}
pinned=${PINNED_CPUS:-0,1}

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
need() { # command package
  command -v "$1" >/dev/null && return 0
  echo "Installing $2"
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$2" >/dev/null
}
need stress-ng stress-ng || exit 1
need taskset util-linux || exit 1

if ! git -C "$repo" diff --quiet HEAD; then
  echo "Note: uncommitted changes in $repo are not tested."
fi
mkdir -p "$work"
echo "Testing $commit, each run in a fresh clone under $work"

if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

hog=""
runner=""
stopHog() {
  if [ -n "$hog" ]; then
    kill "$hog" 2>/dev/null
    wait "$hog" 2>/dev/null
  fi
  hog=""
}
# An interrupted run ends the suite it started (its own session) as well as the hog.
stopRunner() {
  [ -n "$runner" ] && kill -- "-$runner" 2>/dev/null
  runner=""
}
trap stopHog EXIT
trap 'stopRunner; stopHog; exit 130' INT TERM

stress-ng --cpu "$hogWorkers" --timeout 0 --quiet &
hog=$!
echo "CPU hog: stress-ng --cpu $hogWorkers (pid $hog)"

summary=()
failed=0
runOnce() { # label, then the command prefix (may be empty)
  local label="$1"
  shift
  local log="$work/$label.log"
  local clone="$work/$label"
  echo "== $label: $* ./test.sh (log: $log)"
  local start end status
  start=$(date +%s)
  rm -rf "$clone"
  git clone -q --no-hardlinks "$repo" "$clone" && git -C "$clone" checkout -q "$commit" || exit 1
  (cd "$clone" && exec setsid "$@" ./test.sh) >"$log" 2>&1 &
  runner=$!
  wait "$runner"
  status=$?
  runner=""
  end=$(date +%s)
  local result=passed
  [ $status -eq 0 ] || { result="FAILED ($status)"; failed=1; }
  summary+=("$(printf '%-10s %6d s  %s' "$label" $((end - start)) "$result")")
  echo "   $result after $((end - start)) s; slowest tests:"
  sed -n '/^Slowest tests:/,$p' "$log" | tail -n +2 | head -n 10 | sed 's/^/   /'
  if [ $status -ne 0 ]; then
    echo "   failures:"
    grep -E '^\s*[0-9]+ - .*\((Failed|Timeout|SEGFAULT|Subprocess aborted|Exception)\)' "$log" | sed 's/^/   /'
  fi
}

for i in $(seq 1 "$runs"); do
  runOnce "all-cores-$i" env
done
runOnce "two-cores" taskset -c "$pinned"

stopHog
echo
echo "Summary (commit $commit, hog stress-ng --cpu $hogWorkers):"
printf '%s\n' "${summary[@]}"
exit $failed
