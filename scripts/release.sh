#!/usr/bin/env bash
# Builds every download of a release into dist/, as root on Debian 12, installing what is
# missing:
#   pelmora-<version>-windows-x64.zip and pelmora-<version>-setup.exe (scripts/build-windows.sh),
#   pelmora_<version>_amd64.deb, the Debian package,
#   pelmora-<version>.html, the web page (scripts/build-web.sh),
#   SHA256SUMS, the SHA-256 of all four.
# The version is the one project() sets in CMakeLists.txt. Two runs from the same commit give the
# same bytes, whatever the build folders: every date is the commit's (SOURCE_DATE_EPOCH), which
# the Debian package and the resources compiled into the Linux program take too.
#   bash scripts/release.sh [build-prefix [output-folder]]   (build, dist)
# The builds go to <build-prefix>-windows, -web and -deb.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

prefix=${1:-build}
dist=${2:-dist}

install_lists build deb-build windows-build windows-packages web-build

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || {
        echo "Not a git checkout: set SOURCE_DATE_EPOCH to the release's date (seconds)." >&2
        exit 1
    }
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8

mkdir -p "$dist"
rm -f "$dist"/pelmora* "$dist/SHA256SUMS"

echo "== Windows"
bash scripts/build-windows.sh "$prefix-windows" "$dist"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$prefix-windows/CMakeCache.txt")
[ -n "$version" ] || { echo "No project version in $prefix-windows/CMakeCache.txt" >&2; exit 1; }

echo "== Web"
bash scripts/build-web.sh "$prefix-web"
cp "$prefix-web/pelmora.html" "$dist/pelmora-$version.html"

echo "== Debian package"
deb=$prefix-deb
cmake -G Ninja -S . -B "$deb" --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
# From scratch: the resources compiled into the program carry SOURCE_DATE_EPOCH, a change of
# which Ninja does not see.
cmake --build "$deb" -j2 --clean-first --target pelmora
rm -f "$deb"/pelmora_*.deb
(cd "$deb" && cpack -G DEB >/dev/null)
debs=("$deb"/pelmora_"$version"_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "cpack wrote no pelmora_${version}_*.deb" >&2; exit 1; }
cp "${debs[0]}" "$dist/"

cd "$dist"
sha256sum "pelmora-$version-windows-x64.zip" "pelmora-$version-setup.exe" "$(basename "${debs[0]}")" \
    "pelmora-$version.html" >SHA256SUMS
echo "Pelmora $version in $PWD (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH):"
cat SHA256SUMS
sha256sum --check --quiet SHA256SUMS
