#!/usr/bin/env bash
# The program alone: a build of its own in which CMake finds none of the packages that only the
# optional parts need, with the tests off. The program must configure, build and install there
# with Qt 6 Widgets, CMake and a compiler, even on a machine that has every package installed,
# so a new hard dependency fails here. Then configuring with the defaults must skip the parts
# whose packages are missing, and a part asked for by name that cannot be built must stop
# configuring with a line that names what it lacks.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build-program-alone

# Every package that the project's CMake files look for, and every Qt 6 module they name, but
# Qt 6 and its Widgets (with the Gui and Core they stand on), which the program needs.
mapfile -t cmake_files < <(git ls-files --cached --others --exclude-standard -- \
    '*CMakeLists.txt' '*.cmake')
mapfile -t hidden < <(
    {
        grep -hoE 'find_package\([[:space:]]*[A-Za-z0-9_]+' "${cmake_files[@]}" |
            sed -E 's/find_package\([[:space:]]*//'
        grep -hoE 'Qt6::[A-Za-z0-9_]+' "${cmake_files[@]}" | sed 's/::/ /' | tr -d ' '
        grep -hoE 'find_package\([[:space:]]*Qt6[^)]*COMPONENTS[^)]*' "${cmake_files[@]}" |
            sed -E 's/.*COMPONENTS//' | tr -s ' \t' '\n' | sed '/^$/d; s/^/Qt6/'
    } | grep -vxE 'Qt6|Qt6(Widgets|Gui|Core)' | sort -u)
echo "hidden from CMake: ${hidden[*]}"
hide=()
for name in "${hidden[@]}"; do hide+=("-DCMAKE_DISABLE_FIND_PACKAGE_$name=ON"); done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Unoptimised and without debug information: this build is only for what it needs, built fast.
cmake --fresh -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG= -DBUILD_TESTING=OFF \
    "${hide[@]}" >"$work/configure.log" 2>&1 || {
    cat "$work/configure.log" >&2
    echo "FAIL: the program does not configure without the optional packages" >&2
    exit 1
}
grep '^-- Skipping' "$work/configure.log" || true
cmake --build "$build"

DESTDIR="$work" cmake --install "$build" --prefix /usr/local >/dev/null
program="$work/usr/local/bin/pelmora"
said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version) || {
    echo "FAIL: the installed program does not run" >&2
    exit 1
}
echo "installed: /usr/local/bin/pelmora ($said)"

# Everything left at its default, as scripts/start.sh configures, with Qt 6 Test found but the
# other optional packages missing: the parts that lack them must be skipped, not fail.
hide_but_test=()
for name in "${hidden[@]}"; do
    [ "$name" = Qt6Test ] || hide_but_test+=("-DCMAKE_DISABLE_FIND_PACKAGE_$name=ON")
done
cmake -G Ninja -S . -B "$work/defaults" "${hide_but_test[@]}" >"$work/defaults.log" 2>&1 || {
    cat "$work/defaults.log" >&2
    echo "FAIL: configuring with the defaults fails without the optional packages" >&2
    exit 1
}
echo "with the defaults, configuring skips what it lacks"

# The benchmarks asked for by name, without Google Benchmark: configuring must stop and say why.
if cmake -G Ninja -S . -B "$work/asked" -DBUILD_TESTING=OFF -DPELMORA_BENCH=ON \
        -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/asked.log" 2>&1; then
    echo "FAIL: PELMORA_BENCH=ON configured without Google Benchmark" >&2
    exit 1
fi
# CMake wraps the lines of an error; the words are what counts.
tr -s ' \n' '  ' <"$work/asked.log" |
    grep -qF 'Cannot build the benchmarks (PELMORA_BENCH=ON): not found: Google Benchmark (Debian package libbenchmark-dev)' || { cat "$work/asked.log" >&2; echo "FAIL: no line naming what is missing" >&2; exit 1; }
echo "a part asked for by name that cannot be built stops configuring"
