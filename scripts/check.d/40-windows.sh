#!/usr/bin/env bash
# The Windows program, cross-built with mingw-w64 and checked under Wine: it imports only
# Windows' own DLLs, its core computes byte for byte what the Linux build computes on the shared
# corpus, every control keeps a readable colour in any theme, and the end-to-end groups pass
# against it (those of DPI changes and high contrast against its test build, which does inside
# the program what Wine never does). Needs the Linux build (PELMORA_BUILD_DIR,
# default build) for the corpus output to compare with and for its small X program (xwin).
set -euo pipefail
cd "$(dirname "$0")/../.."
linux=${PELMORA_BUILD_DIR:-build}
build=build-windows
stage_start=$SECONDS

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Like the other optional checks, this one says what it skips when its tools are missing.
missing=()
for program in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-objdump wine wineserver Xvfb xdotool xclip; do
    command -v "$program" >/dev/null || missing+=("$program")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIP: Windows checks; missing: ${missing[*]} ('bash scripts/check.sh' installs them)"
    exit 0
fi

for program in "$linux/tests/corpus/corpus_runner" "$linux/tests/e2e/xwin"; do
    [ -x "$program" ] || fail "$program is missing: build $linux first (scripts/check.sh does)"
done

cmake -G Ninja -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build "$build"
exe="$build/win32/pelmora.exe"

echo "-- imports of pelmora.exe"
# Windows' own DLLs, which every Windows has; anything else (libstdc++-6.dll,
# libwinpthread-1.dll, ...) would have to be shipped beside the exe.
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll dwmapi.dll gdi32.dll imm32.dll kernel32.dll
 msvcrt.dll ole32.dll oleacc.dll oleaut32.dll shcore.dll shell32.dll shlwapi.dll user32.dll
 uxtheme.dll version.dll "
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
echo $imports
[ -n "$imports" ] || fail "objdump found no imports in $exe"
for dll in $imports; do
    [[ $system_dlls == *" $dll"[[:space:]]* ]] || fail "pelmora.exe imports $dll, which Windows does not have"
done
echo "pelmora.exe: $(stat -c %s "$exe") bytes"
# The entry for the checks is in the test build only (a name only its code uses).
strings -el "$build/win32/pelmora_test_hooks.exe" | grep -qx 'pelmora test DPI' ||
    fail "the test build has no test entry"
! strings -el "$exe" | grep -qx 'pelmora test DPI' || fail "the shipped pelmora.exe has the test entry"

work=$(mktemp -d)
source tests/wine/prefix.sh
finish() {
    wine_prefix_stop
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM
started=$SECONDS
wine_prefix_start || fail "could not make a Wine prefix"
echo "-- Wine prefix made in $((SECONDS - started)) s"

echo "-- the shared corpus: the Linux build against the Windows build"
"$linux/tests/corpus/corpus_runner" -o "$work/linux.out" .
wine "$build/tests/corpus/corpus_runner.exe" -o "$work/windows.out" . </dev/null
if ! cmp -s "$work/linux.out" "$work/windows.out"; then
    diff -U3 "$work/linux.out" "$work/windows.out" | head -n 60 >&2 || true
    fail "the Windows build computes otherwise than the Linux build (first differences above)"
fi
echo "identical: $(grep -c '^case ' "$work/linux.out") cases, $(wc -c <"$work/linux.out") bytes"

echo "-- the colours of every control, with high contrast on and off"
wine "$build/tests/wine/wintext.exe" palette </dev/null || fail "a control is drawn in colours it must not have"

echo "-- end-to-end groups under Wine"
failed=()
for group in window road clipboard messages errors ending dpi contrast ime; do
    started=$SECONDS
    # The input method's state is read from a test build, which alone tells it.
    program=$exe
    [ "$group" != ime ] || program="$build/win32/pelmora_test_hooks.exe"
    if bash tests/e2e/e2e.sh "$group" "$program" "$linux/tests/e2e/xwin" "$build/tests/wine/wintext.exe"; then
        echo "e2e $group: passed in $((SECONDS - started)) s"
    else
        echo "e2e $group: FAILED"
        failed+=("$group")
    fi
done
[ ${#failed[@]} -eq 0 ] || fail "end-to-end groups failed under Wine: ${failed[*]}"
echo "Windows checks passed in $((SECONDS - stage_start)) s"
