#!/usr/bin/env bash
# Runs the fuzz targets for a long time: bash fuzz/run-long.sh [seconds per target [target...]]
# (600 s and every target by default), as many at once as there are processors, in the
# sanitizer build. Targets are named without "fuzz_": read_number, parse, leftover, ...
# New inputs are kept in build-sanitize/fuzz/corpus/<target>, so a later run goes on from
# there; a failing input is saved as build-sanitize/fuzz/long/<target>-crash-*.
# Prints each target's executions and coverage; exits non-zero if any target failed.
# Installs what is missing first: what the program needs, clang and its runtimes.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
source fuzz/sanitizer-env.sh
install_lists build fuzz || exit 1

seconds=${1:-600}
shift || true
build=build-sanitize
jobs=$(nproc)

CC=clang CXX=clang++ cmake -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELMORA_SANITIZE=ON -DPELMORA_FUZZ=ON >/dev/null || exit 1
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in fuzz/fuzz_*.cpp; do
        name=$(basename "$source" .cpp)
        targets+=("${name#fuzz_}")
    done
fi
cmake --build "$build" --target "${targets[@]/#/fuzz_}" || exit 1

out="$build/fuzz/long"
mkdir -p "$out"
run() {
    local t=$1
    mkdir -p "$build/fuzz/corpus/$t"
    rm -f "$out/$t.rc"
    "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$out/$t-" \
        "$build/fuzz/corpus/$t" "fuzz/corpus/$t" >"$out/$t.log" 2>&1
    echo $? >"$out/$t.rc"
}

echo "Running ${#targets[@]} targets for $seconds s each, $jobs at a time; logs in $out"
for t in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
    run "$t" &
done
wait

failed=0
printf '%-12s %6s %14s %10s %8s %8s\n' target status executions exec/s cov corpus
for t in "${targets[@]}"; do
    log="$out/$t.log"
    rc=$(cat "$out/$t.rc" 2>/dev/null || echo missing)
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    last=$(grep -E '^#[0-9]+' "$log" | tail -1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
    status=ok
    if [ "$rc" != 0 ]; then status=FAILED; failed=1; fi
    printf '%-12s %6s %14s %10s %8s %8s\n' "$t" "$status" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${corp:-?}"
done
exit "$failed"
