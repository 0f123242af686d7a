#!/usr/bin/env bash
# Builds the Debian package model_<version>_amd64.deb and prints its path.
# Usage: scripts/package.sh [BUILD_FOLDER]   (default build-package)
# A new build folder is configured for a release without tests; an existing
# one (test.sh passes build-test) keeps its own settings.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2

build=${1:-build-package}
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMODEL_BUILD_TESTS=OFF -DMODEL_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" >&2
rm -f "$build"/model_*_amd64.deb
(cd "$build" && cpack -G DEB >&2)
ls "$PWD/$build"/model_*_amd64.deb
