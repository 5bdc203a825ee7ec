# Sourced by the start-up benchmarks: runs of several programs, interleaved, and their medians.

# run_interleaved RUNS MEASURE: one uncounted run of each program first, so that all of them
# meet warm caches (fonts, shared libraries); then RUNS rounds in a rotating order. MEASURE is
# given a program of the array "programs" and prints "MAP_MS RSS_KB CPU_MS"; the figures go to
# $tmp/NAME.ms, .kb and .cpu, NAME from the array "names".
run_interleaved() {
    local runs=$1 measure=$2 count=${#programs[@]} run k i ms kb cpu
    for i in "${!programs[@]}"; do "$measure" "${programs[$i]}" >/dev/null; done
    for ((run = 0; run < runs; run++)); do
        for ((k = 0; k < count; k++)); do
            i=$(( (run + k) % count ))
            read -r ms kb cpu < <("$measure" "${programs[$i]}")
            echo "$ms" >>"$tmp/${names[$i]}.ms"
            echo "$kb" >>"$tmp/${names[$i]}.kb"
            echo "$cpu" >>"$tmp/${names[$i]}.cpu"
        done
    done
}

median() {
    sort -n "$1" | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
