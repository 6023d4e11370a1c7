#!/usr/bin/env bash
# Installs the Debian packages a command needs:
#   scripts/deps.sh         what building and running the viewer and the exporter needs
#   scripts/deps.sh tests   that, and what only the tests need on top
# Skips apt entirely when everything is already there, so repeated runs cost nothing; apt's own
# output is shown only when it fails.
set -euo pipefail

# Building and running the two programs.
program_packages=(
    # compiler and build tools
    g++
    cmake
    ninja-build
    pkg-config
    # Qt and the libraries the programs link
    qt6-base-dev
    libgl-dev
    libglx-dev
    zlib1g-dev
    libcups2-dev
    libharfbuzz-dev
    libharfbuzz-subset0
    # what the programs load at run time: Wayland's platform plugin, Qt's German dialogs, its
    # SVG icon engine, fonts (the report font Tahoma comes with fonts-wine)
    qt6-wayland
    qt6-translations-l10n
    libqt6svg6
    fontconfig
    fonts-dejavu-core
    fonts-wine
)

# Only the tests: GoogleTest and the benchmark library, the sanitizer and fuzzer compiler, PDF
# tools, a headless X server, a CUPS scheduler of their own (with filters and admin tools), and
# what building and checking the Debian package needs.
test_packages=(
    libgtest-dev
    googletest
    libbenchmark-dev
    clang
    clang-format
    libclang-rt-dev
    poppler-utils
    qpdf
    xvfb
    xauth
    cups
    cups-client
    dpkg-dev
    file
    desktop-file-utils
    xdg-utils
    shared-mime-info
    libfile-mimeinfo-perl
)

packages=("${program_packages[@]}")
case "${1:-}" in
    "") ;;
    tests) packages+=("${test_packages[@]}") ;;
    *) echo "usage: scripts/deps.sh [tests]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing ${#missing[@]} Debian packages with their dependencies: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Another apt run (an update, another build) may hold the lock for a while.
apt=(apt-get -o DPkg::Lock::Timeout=600)
if ! { "${apt[@]}" update && "${apt[@]}" install -y --no-install-recommends "${missing[@]}"; } \
    >"$log" 2>&1; then
    cat "$log" >&2
    echo "Installing the packages failed (apt's output above)." >&2
    exit 1
fi
