#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 60) on its seed corpus in fuzz/corpus. Inputs that reach new code are kept
# in build-fuzz/found, not in the tree. A crash, hang, leak or sanitizer
# report leaves its reproducer in build-fuzz/crashes/TARGET/ and fails the
# script; rerun it with build-fuzz/bin/TARGET FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-16 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMODEL_BUILD_FUZZERS=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  target=fuzz_$name
  found=build-fuzz/found/$name crashes=build-fuzz/crashes/$name
  log=build-fuzz/logs/$name.log
  mkdir -p "$found" "$crashes" build-fuzz/logs
  status=0
  build-fuzz/bin/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$crashes/" "$found" "$corpus" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)
  if ((status)); then
    failed+=("$target")
    echo "$target: FAILED after ${runs:-?} runs, ${coverage:-no coverage}; log $log"
    ls "$crashes"/* 2>/dev/null | sed 's/^/  reproducer: /'
  else
    echo "$target: ${runs} runs in ${seconds} s, ${coverage}, no crash"
  fi
done

if ((${#failed[@]})); then
  echo "Fuzzing found problems in: ${failed[*]}"
  exit 1
fi
