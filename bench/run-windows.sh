#!/usr/bin/env bash
# Start-up of the Windows program under Wine against the floor of any Win32 program.
#
#   bash bench/run-windows.sh [RUNS]
#
# Cross-builds a Release tree in build-bench-windows/ (pelmora.exe and bench/windows/floor.cpp,
# a bare Win32 window of the same size from the same toolchain), makes a private Wine prefix on
# its own Xvfb (tests/wine/prefix.sh) and keeps its Wine server running, then starts each
# program RUNS times (15 by default), interleaved and in a rotating order, through
# bench/map_time.cpp: the time from exec to the mapped window, the resident memory 0.4 s later
# and the processor time to the map. Prints medians, the ratios pelmora/floor and the sizes of
# both exes. Needs the packages of scripts/packages/windows.txt and libx11-dev.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=15
for arg in "$@"; do
    case $arg in
    *[!0-9]* | '') echo "usage: bash bench/run-windows.sh [RUNS]" >&2; exit 2 ;;
    *) runs=$arg ;;
    esac
done
(( runs >= 10 )) || { echo "at least 10 runs each" >&2; exit 2; }
for program in x86_64-w64-mingw32-g++-posix wine c++; do
    command -v "$program" >/dev/null || {
        echo "$program is missing: install the packages of scripts/packages/windows.txt" >&2
        exit 1
    }
done

build=build-bench-windows
cmake -G Ninja -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target pelmora pelmora_floor >/dev/null

tmp=$(mktemp -d)
source tests/wine/prefix.sh
cleanup() {
    wine_prefix_stop
    rm -rf "$tmp"
}
trap cleanup EXIT

# The measuring program runs on this side of Wine; it needs nothing of the Qt build.
c++ -std=c++20 -O2 -o "$tmp/map_time" bench/map_time.cpp -lX11

wine_prefix_start
names=(floor pelmora)
programs=("$PWD/$build/bench/windows/pelmora_floor.exe" "$PWD/$build/win32/pelmora.exe")
source bench/interleave.sh
measure() {
    "$tmp/map_time" --unmanaged wine "$1"
}
run_interleaved "$runs" measure

echo "Start-up under $(wine --version) on a private Xvfb, Wine server kept running,"\
     "$runs interleaved runs each ($(date -u '+%Y-%m-%d %H:%M UTC'))"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
     "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '%-10s %10s %15s %15s %10s %10s %10s %12s\n' program "map (ms)" "resident (MiB)" \
    "cpu to map (ms)" "map/floor" "rss/floor" "cpu/floor" "exe (bytes)"
floor_ms=$(median "$tmp/floor.ms")
floor_kb=$(median "$tmp/floor.kb")
floor_cpu=$(median "$tmp/floor.cpu")
for i in "${!names[@]}"; do
    name=${names[$i]}
    awk -v n="$name" -v ms="$(median "$tmp/$name.ms")" -v kb="$(median "$tmp/$name.kb")" \
        -v cpu="$(median "$tmp/$name.cpu")" -v fms="$floor_ms" -v fkb="$floor_kb" \
        -v fcpu="$floor_cpu" -v size="$(stat -c %s "${programs[$i]}")" 'BEGIN {
        printf "%-10s %10.1f %15.1f %15.1f %10.2f %10.2f %10.2f %12d\n",
            n, ms, kb / 1024, cpu, ms / fms, kb / fkb, cpu / fcpu, size }'
done
echo
awk -v ms="$(median "$tmp/pelmora.ms")" -v fms="$floor_ms" \
    -v size="$(stat -c %s "$PWD/$build/win32/pelmora.exe")" 'BEGIN {
    printf "pelmora.exe/floor: time to map %.2f (target at most 1.30); pelmora.exe %.0f KiB (target under 1 MiB)\n",
        ms / fms, size / 1024 }'
