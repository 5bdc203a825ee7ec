#!/usr/bin/env bash
# Every download of a release (scripts/release.sh): built twice, in two build folders, to the
# same bytes, each named and marked with the project's version. The zip holds exactly its three
# files; under Wine, in a fresh prefix, the installer speaks the system's
# language, installs silently over an older version and again over itself, the shortcut starts
# the program, installer and uninstaller refuse while it runs, and the uninstaller removes
# everything it put there and nothing else.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
mapfile -t packages < <(packages_of windows-build windows-packages windows windows-packages-test)
install_missing "${packages[@]}"
source tests/wine/prefix.sh
# The shortcut would otherwise become a menu entry in the home folder of whoever runs this.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

work=$(mktemp -d)
cleanup() {
    wine_prefix_stop
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# until_true SECONDS COMMAND...: polls COMMAND until it succeeds; false at the deadline.
until_true() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

echo "-- two releases, two build folders, the same bytes"
bash scripts/release.sh build dist
bash scripts/release.sh "$work/build" "$work/dist" >"$work/build2.log" 2>&1 ||
    { cat "$work/build2.log"; fail "the second build failed"; }
cmp build-windows/win32/pelmora.exe "$work/build-windows/win32/pelmora.exe" || fail "pelmora.exe differs"
for file in dist/SHA256SUMS $(sed 's/^[0-9a-f]*  /dist\//' dist/SHA256SUMS); do
    cmp "$file" "$work/dist/${file#dist/}" || fail "$file differs between two builds"
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
zip_name=pelmora-$version-windows-x64.zip
setup_name=pelmora-$version-setup.exe
deb=dist/pelmora_${version}_$(dpkg --print-architecture).deb
page=dist/pelmora-$version.html
named=$(sed 's/^[0-9a-f]*  //' dist/SHA256SUMS | paste -sd ' ')
[ "$named" = "$zip_name $setup_name ${deb#dist/} ${page#dist/}" ] || fail "SHA256SUMS names: $named"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "$deb is not version $version"
grep -qF "<meta name=\"version\" content=\"$version\">" "$page" || fail "$page has no <meta> of version $version"
grep -qF ">Pelmora $version</footer>" "$page" || fail "$page does not show version $version"

echo "-- the zip"
listing=$(unzip -Z1 "dist/$zip_name")
[ "$listing" = $'pelmora.exe\nREADME.txt\nLICENSE.txt' ] || fail "the zip holds: $listing"
unzip -q "dist/$zip_name" -d "$work/zip"
for text in README.txt LICENSE.txt; do
    ! grep -q $'[^\r]$' "$work/zip/$text" || fail "$text has lines without CR LF"
done
[ "$(head -c 3 "$work/zip/README.txt")" = $'\xef\xbb\xbf' ] || fail "README.txt has no byte-order mark"
grep -q "Pelmora $version" "$work/zip/README.txt" || fail "README.txt does not name version $version"
header=$(x86_64-w64-mingw32-objdump -p "$work/zip/pelmora.exe")
grep -q 'Time/Date.*1970' <<<"$header" || fail "pelmora.exe carries its link time"

echo "-- install, start, reinstall and uninstall under Wine"
wine_prefix_start || fail "could not make a Wine prefix"

# An older version to update: the same files under an older number.
cp "$work/zip/pelmora.exe" "$work/zip/README.txt" "$work/zip/LICENSE.txt" "$work/"
makensis -V1 -INPUTCHARSET UTF8 -DVERSION=0.9.0 -DSTAGE="$work" -DICON="$PWD/form/icons/pelmora.ico" \
    -DOUTFILE="$work/old-setup.exe" packaging/windows/pelmora.nsi

user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
programs="$user_dir/AppData/Local/Programs"
dir="$programs/Pelmora"
win_dir="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Pelmora"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Pelmora.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora'
# Something of the user's beside the program, which the uninstaller must leave alone.
mkdir -p "$programs/Other"
echo mine >"$programs/Other/notes.txt"

installed() {
    local got expected size
    got=$(cd "$dir" && find . | LC_ALL=C sort | paste -sd ' ')
    [ "$got" = ". ./LICENSE.txt ./README.txt ./pelmora.exe ./uninstall.exe" ] || fail "$1: the folder holds $got"
    for file in pelmora.exe README.txt LICENSE.txt; do
        cmp "$dir/$file" "$work/zip/$file" || fail "$1: another $file than the zip's"
    done
    # The shortcut's icon is the coin in pelmora.exe (the target itself is stored in ANSI).
    grep -qF "$win_dir\pelmora.exe" <<<"$(strings -el "$shortcut")" || fail "$1: no shortcut with the program's icon"
    got=$(wine reg query "$key" </dev/null | tr -d '\r' |
        sed -n 's/^ \+\([A-Za-z]*\) \+\(REG_[A-Z]*\) \+/\1 \2 /p' | sort) || true
    size=$(du -cb "$dir"/* | tail -n 1 | cut -f 1)
    expected=$(sort <<EOF_REG
DisplayName REG_SZ Pelmora
DisplayVersion REG_SZ $2
Publisher REG_SZ The Pelmora developers
DisplayIcon REG_SZ $win_dir\\pelmora.exe,0
InstallLocation REG_SZ $win_dir
UninstallString REG_SZ "$win_dir\\uninstall.exe"
QuietUninstallString REG_SZ "$win_dir\\uninstall.exe" /S
EstimatedSize REG_DWORD $(printf '0x%x' $((size / 1024)))
NoModify REG_DWORD 0x1
NoRepair REG_DWORD 0x1
EOF_REG
)
    [ "$got" = "$expected" ] || fail "$1: the uninstall entry differs:"$'\n'"$(diff <(echo "$expected") <(echo "$got"))"
    echo "$1: files, shortcut and uninstall entry as expected"
}
quiet_uninstall() {
    wine reg query "$key" /v QuietUninstallString </dev/null | tr -d '\r' |
        sed -n 's/^ *QuietUninstallString \+REG_SZ \+//p'
}
no_window() {
    ! xdotool search --name "$1" >/dev/null
}
gone() {
    [ ! -e "$dir" ] && [ ! -e "$shortcut" ] && ! wine reg query "$key" </dev/null >/dev/null 2>&1
}

# The pages follow the system's language: Japanese under a Japanese locale (made here, so that
# the system's locales stay as they are), English otherwise.
mkdir "$work/locale"
localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8"
for case in "ja_JP.UTF-8 Pelmora セットアップ" "C.UTF-8 Pelmora Setup"; do
    LOCPATH="$work/locale" LC_ALL='' LANG=${case%% *} wine start /unix "dist/$setup_name" </dev/null
    until_true 20 xdotool search --onlyvisible --name "^${case#* }\$" >/dev/null ||
        fail "no installer window \"${case#* }\" under ${case%% *}"
    wine taskkill /f /im "$setup_name" </dev/null >/dev/null 2>&1
    until_true 10 no_window "^${case#* }\$" ||
        fail "the installer did not end"
done
echo "installer pages: Japanese under ja_JP, English under C"

wine "$work/old-setup.exe" /S </dev/null
installed "0.9.0 installed" 0.9.0
wine "$(wine_path "$PWD/dist/$setup_name")" /S </dev/null
installed "$version over 0.9.0" "$version"

# The shortcut starts the program: its main window appears.
wine start /unix "$shortcut" </dev/null
title='^Pelmora Ver1\.01$'
until_true 20 xdotool search --onlyvisible --name "$title" >/dev/null ||
    fail "no window from the Start-menu shortcut"
echo "the shortcut opened the window"
# Its files are in use now: a silent install or uninstall (run in place, to see its error
# level) refuses with error level 2 and changes nothing.
refuses() {
    local status=0
    wine "$@" </dev/null || status=$?
    [ "$status" = 2 ] || fail "$1 /S while Pelmora runs: error level $status, not 2"
}
refuses "$(wine_path "$PWD/dist/$setup_name")" /S
refuses "$dir/uninstall.exe" /S "_?=$win_dir"
installed "after refusing while Pelmora runs" "$version"
wine taskkill /im pelmora.exe </dev/null >/dev/null 2>&1
until_true 10 no_window "$title" ||
    fail "the program did not end"

wine "$(wine_path "$PWD/dist/$setup_name")" /S </dev/null
installed "$version again over itself" "$version"

# What the list of installed apps runs; the uninstaller goes on from a copy in the background.
quiet=$(quiet_uninstall)
[[ $quiet =~ ^\"([^\"]+)\"\ /S$ ]] || fail "QuietUninstallString: $quiet"
wine "${BASH_REMATCH[1]}" /S </dev/null
until_true 30 gone || fail "left after uninstalling: $(ls -A "$dir" 2>/dev/null) $(ls "$shortcut" 2>/dev/null)"
[ "$(cat "$programs/Other/notes.txt")" = mine ] || fail "the uninstaller touched the user's files"
echo "uninstalled: no folder, shortcut or uninstall entry left"

# A file of the user's in the program's folder stays, and with it the folder.
wine "$(wine_path "$PWD/dist/$setup_name")" /S </dev/null
echo mine >"$dir/notes.txt"
wine "$dir/uninstall.exe" /S </dev/null
left() {
    [ "$(ls -A "$dir" 2>/dev/null)" = notes.txt ] && [ ! -e "$shortcut" ] &&
        ! wine reg query "$key" </dev/null >/dev/null 2>&1
}
until_true 30 left || fail "with a file of the user's, the folder holds: $(ls -A "$dir" 2>/dev/null)"
echo "uninstalled around a file of the user's: the file and its folder stay"
echo "Download checks passed in $SECONDS s"
