#!/usr/bin/env bash
# Builds the two programs and opens the bundled sample log (or the log given, relative to the
# folder called from) in the viewer. Where no window can be opened (no display, or one that
# cannot be reached) it says why and prints the log's report to a PDF file instead.
set -euo pipefail
[ $# -le 1 ] || { echo "usage: scripts/run.sh [LOG.mpr]" >&2; exit 2; }
log=${1:-}
[ -z "$log" ] || [ "${log#/}" != "$log" ] || log=$PWD/$log
cd "$(dirname "$0")/.."
log=${log:-samples/whole-log.mpr}
# A mistyped name is told at once, not after minutes of installing and building.
[ -f "$log" ] || { echo "There is no log $log." >&2; exit 2; }

bash scripts/deps.sh
source scripts/runtime-dir.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-2}" --target ZelmoraViewer zelmora-export

viewer=./build/src/viewer/ZelmoraViewer
if reason=$("$viewer" --check-display 2>&1 >/dev/null); then
    exec "$viewer" "$log"
fi
mkdir -p out
pdf="out/$(basename "${log%.*}").pdf"
echo "$reason"
echo "No window here: printing the report of $log to a PDF file instead."
./build/src/export/zelmora-export --pdf "$pdf" "$log"
echo "$(pwd)/$pdf"
