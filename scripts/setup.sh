#!/usr/bin/env bash
# Installs what building and running Brackwin needs on Debian (as root), then configures and
# builds both programs and the tests in ./build.
set -euo pipefail
cd "$(dirname "$0")/.."

# fonts-wine: Wine's own Tahoma (the dialogs' font) and Marlett (the caption buttons).
packages=(cmake make g++-mingw-w64-x86-64-posix googletest wine wine64 fonts-wine xvfb imagemagick)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
