#!/usr/bin/env bash
# Installs what is missing and cross-builds the Windows program with mingw-w64: a Release
# build in build-windows/, whose build-windows/win32/pelmora.exe runs alone on 64-bit Windows
# (statically linked: it needs no DLL but Windows' own). Prints where the exe is and its size.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

mapfile -t packages < <(packages_of windows-build)
install_missing "${packages[@]}"

cmake -G Ninja -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-windows --target pelmora
exe="$PWD/build-windows/win32/pelmora.exe"
echo "$exe ($(( $(stat -c %s "$exe") / 1024 )) KiB)"
