#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) into build/ and runs it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODEL_BUILD_TESTS=OFF -DMODEL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/bin/model ]; then
  exec build/bin/model "$@"
elif [ -x build/bin/modelrun ]; then
  echo "No display: running an example through the headless runner."
  exec build/bin/modelrun examples/stick-relay.mod --timing examples/stick-relay.tim --code 1 --steps 200
else
  echo "Built:"; ls build/bin
fi
