#!/usr/bin/env bash
# Builds the program and opens the bundled sample log (or the log given as argument).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-2}"
log=${1:-samples/whole-log.mpr}
echo "The viewer window is not built yet; the export of $log as JSON follows."
./build/src/export/zelmora-export --json "$log"
