#!/usr/bin/env bash
# Builds everything and runs every test: the normal build (Qt parts offscreen, printing to a
# private CUPS scheduler), the Debian package installed and tried, the core again under the
# address and undefined-behaviour sanitizers, and a short fuzzing run on the reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh tests
source scripts/runtime-dir.sh

export QT_QPA_PLATFORM=offscreen
jobs=${JOBS:-2}

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
bash scripts/with-test-printer.sh ctest --test-dir build --output-on-failure --no-tests=error \
    -j"$jobs"

bash scripts/package-test.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELMORA_SANITIZE=ON -DZELMORA_GUI=OFF
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs")

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZELMORA_FUZZ=ON -DZELMORA_GUI=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j"$jobs" --target fuzz_reader
corpus=$(mktemp -d)
cp samples/*.mpr "$corpus"/
./build-fuzz/fuzz/fuzz_reader -max_total_time="${FUZZ_SECONDS:-30}" -rss_limit_mb=1024 \
    -malloc_limit_mb=64 "$corpus" 2>&1 | tail -n 3
rm -rf "$corpus"
echo "All tests passed."
