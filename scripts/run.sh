#!/usr/bin/env bash
# Builds the program and opens the bundled sample log (or the log given as argument) in the
# viewer. Without a display it says so and exports the log instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-2}"
log=${1:-samples/whole-log.mpr}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/src/viewer/ZelmoraViewer "$log"
fi
echo "No display: the viewer cannot open a window here. The export of $log follows instead."
./build/src/export/zelmora-export --json "$log"
