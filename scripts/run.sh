#!/usr/bin/env bash
# Builds the program and opens the bundled sample log (or the log given as argument) in the
# viewer. Without a display it says so and prints the log's report to a PDF file instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-2}"
log=${1:-samples/whole-log.mpr}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/src/viewer/ZelmoraViewer "$log"
fi
mkdir -p out
pdf="out/$(basename "${log%.*}").pdf"
echo "No display: the viewer cannot open a window here. Printing the report of $log instead."
./build/src/export/zelmora-export --pdf "$pdf" "$log"
echo "$(pwd)/$pdf"
