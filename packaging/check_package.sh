#!/usr/bin/env bash
# Installs the build into a scratch root and packs it as a .deb, then checks what a desktop
# needs: a valid menu entry and AppStream file, icons in the hicolor theme, a package with the
# right files, dependencies, licence and changelog that lintian finds no error in, one version
# throughout, the same bytes from every packing, and a program that opens its window from the
# installed path.
#   bash packaging/check_package.sh <build folder> <version> [cpack]
# Run by CTest as the test package_check, with the version set in CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { echo "usage: bash packaging/check_package.sh <build folder> <version> [cpack]" >&2; exit 2; }
build=$(cd "$1" && pwd)
version=$2
cpack=${3:-cpack}
id=io.github.pelmora.Pelmora

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# What an installation under /usr holds, directories left out.
expected=$(sort <<EOF_FILES
/usr/bin/pelmora
/usr/share/applications/$id.desktop
/usr/share/doc/pelmora/changelog.gz
/usr/share/doc/pelmora/copyright
/usr/share/icons/hicolor/16x16/apps/$id.png
/usr/share/icons/hicolor/32x32/apps/$id.png
/usr/share/icons/hicolor/48x48/apps/$id.png
/usr/share/icons/hicolor/scalable/apps/$id.svg
/usr/share/man/man1/pelmora.1.gz
/usr/share/metainfo/$id.metainfo.xml
EOF_FILES
)

files_under() {
    (cd "$1" && find . ! -type d | sed 's|^\.||' | sort)
}

echo "-- cmake --install"
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
[ "$(files_under "$work/stage")" = "$expected" ] ||
    fail "cmake --install put other files in place:"$'\n'"$(files_under "$work/stage")"
# Hints count too: a menu entry with hints may land in the wrong menu.
report=$(desktop-file-validate "$work/stage/usr/share/applications/$id.desktop" 2>&1) &&
    [ -z "$report" ] || fail "desktop-file-validate: $report"
appstreamcli validate --no-net "$work/stage/usr/share/metainfo/$id.metainfo.xml"
for size in 16 32 48; do
    file "$work/stage/usr/share/icons/hicolor/${size}x$size/apps/$id.png" |
        grep -q "PNG image data, $size x $size," || fail "the $size px icon is not $size x $size"
done

echo "-- cpack -G DEB"
# Every date in the package is this one, as in a release (scripts/release.sh).
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
pack() {
    rm -f "$build"/pelmora_*.deb
    (cd "$build" && "$cpack" -G DEB >/dev/null)
    debs=("$build"/pelmora_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack wrote no single pelmora_*.deb"
    deb=${debs[0]}
}
pack
cp "$deb" "$work/first.deb"
sleep 1
pack
cmp "$work/first.deb" "$deb" || fail "two packings a second apart differ"
echo "$(basename "$deb"), the same bytes twice"

dpkg-deb --info "$deb"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = pelmora ] || fail "package name"
[ "$(field Section)" = utils ] || fail "section"
[ "$(field Version)" = "$version" ] || fail "package version $(field Version), not $version"
[[ $(field Maintainer) == "The Pelmora developers <"*">" ]] || fail "maintainer: $(field Maintainer)"
[ -n "$(field Description)" ] || fail "no description"
depends=$(field Depends)
for need in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins libc6 \
    'fonts-ipafont-gothic | fonts-japanese-gothic'; do
    grep -qF "$need" <<<"$depends" || fail "Depends lacks $need: $depends"
done

contents=$(dpkg-deb --contents "$deb")
listed=$(awk '$1 !~ /^d/ { print substr($NF, 2) }' <<<"$contents" | sort)
[ "$listed" = "$expected" ] || fail "the package holds other files:"$'\n'"$contents"
grep -E ' \./usr/bin/pelmora$' <<<"$contents" | grep -q '^-rwxr-xr-x root/root' ||
    fail "/usr/bin/pelmora is not an executable owned by root"

echo "-- unpacked package"
dpkg-deb -x "$deb" "$work/root"
program="$work/root/usr/bin/pelmora"
file "$program" | grep -q 'ELF.*, stripped' || fail "the packed program is not a stripped ELF file"
if ldd "$program" | grep 'not found'; then fail "the packed program misses libraries"; fi
appstreamcli validate-tree --no-net "$work/root"

# One version everywhere: the package, the program, the AppStream release and the changelog.
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version </dev/null 2>&1) &&
    [ "$said" = "Pelmora $version" ] || fail "pelmora --version says: $said"
grep -qF "<release version=\"$version\" " "$work/root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the AppStream file has no release $version"
doc=$work/root/usr/share/doc/pelmora
[ "$(dpkg-parsechangelog -l "$doc/changelog.gz" -S Version)" = "$version" ] ||
    fail "the changelog's newest entry is not $version"
head -n 1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' &&
    grep -q '^License: Expat$' "$doc/copyright" || fail "the copyright file is not in Debian's format"

# No lintian errors; each warning left must be explained in docs/install-check.md.
lintian --fail-on error --tag-display-limit 0 "$deb" </dev/null >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian reports errors"; }
cat "$work/lintian.log"
for tag in $(sed -n 's/^W: [^:]*: \([^ ]*\).*/\1/p' "$work/lintian.log" | sort -u); do
    grep -qF "\`$tag\`" docs/install-check.md || fail "lintian warning $tag is not explained in docs/install-check.md"
done

# apt resolves the package's dependencies against this system without installing anything.
apt-get install --simulate --no-install-recommends "$deb" </dev/null >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get cannot install the package"; }
grep -q '^Inst pelmora ' "$work/apt.log" || { cat "$work/apt.log"; fail "apt-get would not install pelmora"; }

echo "-- the installed program on a virtual screen"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# Starts the program at a scale factor, waits for its main window and sets `size` to the
# window's size in screen pixels. The program must still be running: it never ends on its own.
size=
window_size() {
    QT_SCALE_FACTOR=$1 "$program" </dev/null >"$work/run$1.log" 2>&1 &
    local pid=$!
    pids+=("$pid")
    timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name '^Pelmora Ver1\.01$' \
        >"$work/win$1" || { cat "$work/run$1.log"; fail "no main window at scale $1"; }
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || { cat "$work/run$1.log"; fail "the program ended by itself"; }
    size=$(xdotool getwindowgeometry --shell "$(head -n 1 "$work/win$1")" |
        sed -n 's/^\(WIDTH\|HEIGHT\)=//p' | paste -sd x)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}
window_size 1
size1=$size
window_size 2
size2=$size
echo "main window: $size1 at scale 1, $size2 at scale 2"
[[ $size1 =~ ^[0-9]+x[0-9]+$ ]] || fail "no window size: $size1"
[ "$size2" = "$((2 * ${size1%x*}))x$((2 * ${size1#*x}))" ] ||
    fail "the window does not keep its proportions at scale 2"
echo "package checks passed"
