#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the viewer need. Skips apt entirely when
# everything is already there, so repeated runs cost nothing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev libglx-dev zlib1g-dev libharfbuzz-dev
    libgtest-dev googletest libbenchmark-dev
    clang libclang-rt-dev
    fonts-dejavu-core fontconfig fonts-wine
    poppler-utils qpdf xvfb xauth
    libcups2-dev cups cups-client
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
