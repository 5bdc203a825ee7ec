#!/usr/bin/env bash
# Installs what is missing and cross-builds the Windows program with mingw-w64: a Release
# build in build-windows/, whose build-windows/win32/pelmora.exe runs alone on 64-bit Windows
# (statically linked: it needs no DLL but Windows' own), and the clipboard reader that the
# checklist for Windows uses, build-windows/tests/wine/wintext.exe. Prints where the exe is and its size.
# Then packs the Windows downloads into dist/: the portable zip, the per-user installer and
# SHA256SUMS, and prints the SHA-256 of each. Two runs from the same commit give the same bytes,
# whatever the build folder: every date is the commit's (SOURCE_DATE_EPOCH), the zip's order and
# modes are fixed.
#   bash scripts/build-windows.sh [build-folder [output-folder]]   (build-windows, dist)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
source scripts/deps.sh

build=${1:-build-windows}
dist=${2:-dist}

mapfile -t packages < <(packages_of windows-build windows-packages)
install_missing "${packages[@]}"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || {
        echo "Not a git checkout: set SOURCE_DATE_EPOCH to the release's date (seconds)." >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH
# Zip stores local times: one zone for every build.
export TZ=UTC LC_ALL=C.UTF-8

cmake -G Ninja -S . -B "$build" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target pelmora wintext
exe="$(cd "$build" && pwd)/win32/pelmora.exe"
echo "$exe ($(( $(stat -c %s "$exe") / 1024 )) KiB)"
echo "$(cd "$build" && pwd)/tests/wine/wintext.exe (docs/windows-checklist.md, item 5)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "No project version in $build/CMakeCache.txt" >&2; exit 1; }

mkdir -p "$dist"
dist=$(cd "$dist" && pwd)
zip_name=pelmora-$version-windows-x64.zip
setup_name=pelmora-$version-setup.exe
rm -f "$dist/$zip_name" "$dist/$setup_name" "$dist/SHA256SUMS"

# What the zip holds, with Windows line endings; the README starts with a byte-order mark so
# that Notepad before Windows 10 reads it as UTF-8 rather than as the local code page.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/pelmora.exe"
sed 's/\r*$/\r/' LICENSE >"$stage/LICENSE.txt"
{
    printf '\xef\xbb\xbf'
    sed -e "s/@VERSION@/$version/" -e 's/\r*$/\r/' packaging/windows/README.txt
} >"$stage/README.txt"
chmod 644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

# -X leaves out owner and extra time fields, -D directory entries; the order is the one given.
(cd "$stage" && zip -q -X -D -9 "$dist/$zip_name" pelmora.exe README.txt LICENSE.txt)

# The installer stores each file's time: the staged files carry the commit's date.
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
    -DICON="$top/form/icons/pelmora.ico" -DOUTFILE="$dist/$setup_name" \
    packaging/windows/pelmora.nsi

(cd "$dist" && sha256sum "$zip_name" "$setup_name" >SHA256SUMS)
echo "Windows downloads in $dist (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH):"
(cd "$dist" && cat SHA256SUMS && sha256sum --check --quiet SHA256SUMS)
