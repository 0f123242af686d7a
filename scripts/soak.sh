#!/usr/bin/env bash
# Runs the window run at Speed 0 with screen and report file output under
# Xvfb for MINUTES (default 10) and prints its resident memory once a
# minute. Memory should stay flat after the first minute, apart from the
# report file's page cache, which is not counted in the process's resident
# set.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test --target fault_tests >/dev/null

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export QT_QPA_PLATFORM=xcb SOAK_SECONDS=$((minutes * 60 + 5))
log=$(mktemp)
xvfb-run -a -s "-screen 0 1280x1024x24" build-test/bin/fault_tests \
  --gtest_also_run_disabled_tests --gtest_filter=Soak.DISABLED_WindowRunAtSpeedZero >"$log" 2>&1 &
runner=$!

# The test binary under xvfb-run: the child whose command names it.
pid=""
for _ in $(seq 100); do
  pid=$(pgrep -P "$runner" -f fault_tests || true)
  [ -n "$pid" ] && break
  sleep 0.1
done
if [ -z "$pid" ]; then
  cat "$log"
  echo "soak: the run did not start" >&2
  exit 1
fi

echo "minute  resident memory"
for minute in $(seq 0 "$minutes"); do
  ((minute)) && sleep 60
  printf '%6d  %s\n' "$minute" "$(awk '/^VmRSS/ { print $2, $3 }' "/proc/$pid/status" 2>/dev/null || echo gone)"
done
wait "$runner" || { cat "$log"; exit 1; }
grep -E '^steps:|PASSED|FAILED' "$log"
