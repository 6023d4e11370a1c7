#!/usr/bin/env bash
# Builds everything and runs every test: the normal build (Qt parts offscreen), everything again
# under the address and undefined-behaviour sanitizers, the exporter under the thread sanitizer,
# and a short fuzzing run on the reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

export QT_QPA_PLATFORM=offscreen
# The printing tests print to a real CUPS queue whose backend captures each job here.
export ZELMORA_CUPS_CAPTURE=${ZELMORA_CUPS_CAPTURE:-/var/spool/zelmora-capture}
bash scripts/cups-test-queue.sh "$ZELMORA_CUPS_CAPTURE"
jobs=${JOBS:-2}

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELMORA_SANITIZE=ON
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs")

# The direct PDF output compresses and writes pages on a thread of its own: a report with single
# logs under the thread sanitizer.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELMORA_THREAD_SANITIZE=ON
cmake --build build-tsan -j"$jobs" --target zelmora-export
TSAN_OPTIONS=halt_on_error=1 ./build-tsan/src/export/zelmora-export --pdf build-tsan/singles.pdf \
    --singles samples/whole-log.mpr
pdfinfo build-tsan/singles.pdf | grep -Eq '^Pages: +11$'

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZELMORA_FUZZ=ON -DZELMORA_GUI=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j"$jobs" --target fuzz_reader
corpus=$(mktemp -d)
cp samples/*.mpr "$corpus"/
./build-fuzz/fuzz/fuzz_reader -max_total_time="${FUZZ_SECONDS:-30}" -rss_limit_mb=1024 \
    -malloc_limit_mb=64 "$corpus" 2>&1 | tail -n 3
rm -rf "$corpus"
echo "All tests passed."
