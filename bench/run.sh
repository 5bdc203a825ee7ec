#!/usr/bin/env bash
# Start-up speed and memory of Pelmora against the floor of any Qt Widgets program, and
# against other desktop calculators where they are installed; then the command benchmarks.
#
#   bash bench/run.sh [RUNS] [--no-commands]
#
# Builds in build-bench/ (Release), starts a private Xvfb, and runs every program RUNS times
# (15 by default), interleaved and in a rotating order: each run measures the time from exec
# to the first mapped top-level window and the resident memory 0.4 s later. Prints medians
# and the ratios Pelmora/floor. Installs what is missing first (scripts/packages/build.txt and
# bench.txt); speedcrunch and galculator are measured when present.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

runs=15
commands=yes
for arg in "$@"; do
    case $arg in
    --no-commands) commands=no ;;
    *[!0-9]* | '') echo "usage: bash bench/run.sh [RUNS] [--no-commands]" >&2; exit 2 ;;
    *) runs=$arg ;;
    esac
done
(( runs >= 10 )) || { echo "at least 10 runs each" >&2; exit 2; }
install_lists build bench

cmake -G Ninja -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPELMORA_BENCH=ON >/dev/null
cmake --build build-bench --target pelmora pelmora_floor map_time command_bench >/dev/null

tmp=$(mktemp -d)
xvfb=
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

: >"$tmp/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" \
    </dev/null >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 200); do grep -q '^[0-9]' "$tmp/display" && break; sleep 0.05; done
grep -q '^[0-9]' "$tmp/display" || { echo "Xvfb did not start" >&2; exit 1; }

# The same surroundings for every program: an empty home, no accessibility bus.
mkdir -p -m 700 "$tmp/home" "$tmp/runtime"
export DISPLAY=":$(head -n1 "$tmp/display")" HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/runtime"
export LC_ALL=C.UTF-8 NO_AT_BRIDGE=1
unset SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS

names=(floor pelmora)
programs=("$PWD/build-bench/bench/pelmora_floor" "$PWD/build-bench/app/pelmora")
for peer in speedcrunch galculator; do
    if command -v "$peer" >/dev/null; then
        names+=("$peer")
        programs+=("$(command -v "$peer")")
    fi
done
map_time="$PWD/build-bench/bench/map_time"
source bench/interleave.sh
measure() {
    "$map_time" "$1"
}
run_interleaved "$runs" measure

echo "Start-up on a private Xvfb, $runs interleaved runs each ($(date -u '+%Y-%m-%d %H:%M UTC'))"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
     "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Qt $(qtpaths6 --qt-version 2>/dev/null || echo '?')"
echo
printf '%-12s %10s %15s %15s %10s %10s %10s\n' program "map (ms)" "resident (MiB)" \
    "cpu to map (ms)" "map/floor" "rss/floor" "cpu/floor"
floor_ms=$(median "$tmp/floor.ms")
floor_kb=$(median "$tmp/floor.kb")
floor_cpu=$(median "$tmp/floor.cpu")
for name in "${names[@]}"; do
    awk -v n="$name" -v ms="$(median "$tmp/$name.ms")" -v kb="$(median "$tmp/$name.kb")" \
        -v cpu="$(median "$tmp/$name.cpu")" -v fms="$floor_ms" -v fkb="$floor_kb" \
        -v fcpu="$floor_cpu" 'BEGIN {
        printf "%-12s %10.1f %15.1f %15.1f %10.2f %10.2f %10.2f\n",
            n, ms, kb / 1024, cpu, ms / fms, kb / fkb, cpu / fcpu }'
done
echo
awk -v ms="$(median "$tmp/pelmora.ms")" -v kb="$(median "$tmp/pelmora.kb")" \
    -v fms="$floor_ms" -v fkb="$floor_kb" 'BEGIN {
    printf "Pelmora/floor: time to map %.2f (target at most 1.15), resident memory %.2f (target at most 1.20)\n",
        ms / fms, kb / fkb }'
for name in "${names[@]:2}"; do
    awk -v n="$name" -v ms="$(median "$tmp/pelmora.ms")" -v kb="$(median "$tmp/pelmora.kb")" \
        -v pms="$(median "$tmp/$name.ms")" -v pkb="$(median "$tmp/$name.kb")" 'BEGIN {
        printf "Pelmora/%s: time to map %.2f, resident memory %.2f (targets: below 1)\n", n, ms / pms, kb / pkb }'
done

if [ "$commands" = yes ]; then
    echo
    echo "Slowest command of each kind on a megabyte of pasted text (one frame is 16 ms):"
    "$PWD/build-bench/bench/command_bench" --benchmark_format=csv 2>/dev/null >"$tmp/commands.csv" || true
    # name,iterations,real_time,cpu_time,time_unit,bytes_per_second,items_per_second,label:
    # the slowest case of each kind, by processor time (the wall clock is printed beside it).
    awk -F, 'NR > 1 && $5 ~ /ms/ {
        kind = $1; gsub(/"/, "", kind); sub(/\/.*/, "", kind)
        label = $8; gsub(/"/, "", label)
        if (!(kind in cpu) || $4 + 0 > cpu[kind]) { cpu[kind] = $4 + 0; real[kind] = $3 + 0; what[kind] = label }
    } END {
        for (k in cpu) printf "  %-18s %8.2f ms cpu %8.2f ms wall  %s\n", k, cpu[k], real[k], what[k]
    }' "$tmp/commands.csv" | sort
fi
