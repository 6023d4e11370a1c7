#!/usr/bin/env bash
# Builds everything and runs every test: the normal build (Qt parts offscreen, printing to a
# private CUPS scheduler), the Debian package installed and tried, everything again under the
# address and undefined-behaviour sanitizers, the exporter under the thread sanitizer, and a
# short fuzzing run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh tests
source scripts/runtime-dir.sh

# Every C++ file in the committed .clang-format style: a file that differs fails at once.
find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror

export QT_QPA_PLATFORM=offscreen
jobs=${JOBS:-2}

# A compiler cache, where the machine has one, makes a second run of a fresh clone quick; the
# paths below the project are hashed relative to it, so clones in other folders share it.
launcher=()
if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build build -j"$jobs"
bash scripts/with-test-printer.sh ctest --test-dir build --output-on-failure --no-tests=error \
    -j"$jobs"

bash scripts/package-test.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELMORA_SANITIZE=ON \
    "${launcher[@]}"
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 bash scripts/with-test-printer.sh ctest --test-dir build-asan \
    --output-on-failure --no-tests=error -j"$jobs"

# The direct PDF output compresses and writes pages on a thread of its own: a report with single
# logs under the thread sanitizer.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELMORA_THREAD_SANITIZE=ON \
    "${launcher[@]}"
cmake --build build-tsan -j"$jobs" --target zelmora-export
TSAN_OPTIONS=halt_on_error=1 ./build-tsan/src/export/zelmora-export --pdf build-tsan/singles.pdf \
    --singles samples/whole-log.mpr
pdfinfo build-tsan/singles.pdf | grep -Eq '^Pages: +11$'

# Two fuzz targets, FUZZ_SECONDS each: the reader alone, and every log it accepts through the
# page data, the exports and the printed report. Undefined behaviour stops them like a crash.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZELMORA_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build build-fuzz -j"$jobs" --target fuzz_reader fuzz_pages
corpus=$(mktemp -d)
fuzz() {
    local target=$1
    shift
    mkdir -p "$corpus/$target"
    cp samples/*.mpr "$corpus/$target"/
    # A finding stays in the corpus folder, which a failure does not remove.
    if ! "./build-fuzz/fuzz/$target" -max_total_time="${FUZZ_SECONDS:-30}" "$@" \
        -artifact_prefix="$corpus/$target-" "$corpus/$target" > "$corpus/$target.log" 2>&1; then
        tail -n 60 "$corpus/$target.log"
        return 1
    fi
    echo "$target: $(grep -E '^Done [0-9]+ runs' "$corpus/$target.log")"
}
fuzz fuzz_reader -rss_limit_mb=1024 -malloc_limit_mb=64
# The report's fonts stay loaded for the whole run: not leaks.
ASAN_OPTIONS=detect_leaks=0 fuzz fuzz_pages -rss_limit_mb=2048 -malloc_limit_mb=256
rm -rf "$corpus"
echo "All tests passed."
