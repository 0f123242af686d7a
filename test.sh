#!/usr/bin/env bash
# Installs what is missing, builds with tests and runs them twice: a plain
# build, then a build with AddressSanitizer and UndefinedBehaviorSanitizer;
# then the core tests once more under ThreadSanitizer, for the runs that
# share a model across threads. Last, every fuzz target runs for 20
# seconds on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
# Let ccache reuse objects between clones in different folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export CTEST_OUTPUT_ON_FAILURE=1
jobs=$(nproc)

echo "== Tests =="
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

# A step here rather than a test: the package is made from the finished
# build, and the sanitizer build below has nothing to package.
echo "== Debian package =="
scripts/check-package.sh "$(scripts/package.sh build-test)" build-test

echo "== Tests under AddressSanitizer + UndefinedBehaviorSanitizer =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMODEL_SANITIZE=ON -DMODEL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== Core tests under ThreadSanitizer =="
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMODEL_SANITIZE_THREAD=ON -DMODEL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target core_tests
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp" \
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L core

echo "== Fuzzing, 20 s per target =="
scripts/fuzz.sh 20
