#!/usr/bin/env bash
# Start-up of the web page against a bare page with one input box, in each browser engine:
# headless Chromium and Firefox ESR, and WebKitGTK's MiniBrowser on a private Xvfb display.
#
#   bash bench/run-web.sh [--engine chromium|firefox|webkit]... [RUNS]
#
# Installs what is missing (the browsers, Node, npm, then the drivers by tests/web's lock
# file), builds build-web/pelmora.html with scripts/build-web.sh, and opens each page RUNS
# times (15 by default) in every engine (all three unless some are named), engines and pages
# interleaved and in a rotating order, each time in a fresh browser context
# (bench/web/start.js): the time from the start of the navigation to the first settled paint,
# the later of the first paint and the first frame after the page is ready (for the bare page:
# after its load event). Prints medians and the ratio pelmora/bare for each engine, where the
# processor time of Chromium's main thread went, and the page's size.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

runs=15
engines=()
usage() { echo "usage: bash bench/run-web.sh [--engine chromium|firefox|webkit]... [RUNS]" >&2; exit 2; }
while [ $# -gt 0 ]; do
    case $1 in
    --engine)
        case ${2:-} in chromium | firefox | webkit) engines+=("$2") ;; *) usage ;; esac
        shift ;;
    *[!0-9]* | '') usage ;;
    *) runs=$1 ;;
    esac
    shift
done
(( runs >= 10 )) || { echo "at least 10 runs each" >&2; exit 2; }
[ ${#engines[@]} -gt 0 ] || engines=(chromium firefox webkit)

# The browsers of the engines asked for; Node and npm only when their commands are missing (see
# scripts/packages/web-test.txt).
wanted=()
for engine in "${engines[@]}"; do
    case $engine in
    chromium) wanted+=(chromium) ;;
    firefox) wanted+=(firefox-esr) ;;
    webkit) wanted+=(webkit2gtk-driver xvfb) ;;
    esac
done
command -v node >/dev/null || wanted+=(nodejs)
command -v npm >/dev/null || wanted+=(npm)
install_missing "${wanted[@]}"
bash tests/web/check.sh --install

bash scripts/build-web.sh >/dev/null
page=build-web/pelmora.html

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
list=$(IFS=,; echo "${engines[*]}")
versions=$(node bench/web/start.js "$runs" "$tmp" "$list" bare=bench/web/bare.html pelmora="$page")
source bench/interleave.sh

echo "Start-up, $runs interleaved runs of each page in each engine, a fresh context a run" \
     "($(date -u '+%Y-%m-%d %H:%M UTC'))"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
     "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '%-26s %-8s %19s %17s %11s %11s\n' engine page "settled paint (ms)" "first paint (ms)" \
    "ready (ms)" "paint/bare"
for engine in "${engines[@]}"; do
    version=$(sed -n "s/^$engine //p" <<<"$versions")
    bare_ms=$(median "$tmp/$engine.bare.ms")
    for name in bare pelmora; do
        awk -v e="$version" -v n="$name" -v ms="$(median "$tmp/$engine.$name.ms")" \
            -v paint="$(median "$tmp/$engine.$name.paint")" -v ready="$(median "$tmp/$engine.$name.ready")" \
            -v bms="$bare_ms" 'BEGIN {
            printf "%-26s %-8s %19.1f %17.1f %11.1f %11.2f\n", e, n, ms, paint, ready, ms / bms }'
    done
done
if [ -f "$tmp/chromium.bare.cpu" ]; then
    echo
    echo "Of Chromium's main thread's processor time (ms, medians):"
    printf '%-10s %10s %10s %10s %10s %9s\n' page total script layout style "cpu/bare"
    for name in bare pelmora; do
        awk -v n="$name" -v cpu="$(median "$tmp/chromium.$name.cpu")" -v bcpu="$(median "$tmp/chromium.bare.cpu")" \
            -v script="$(median "$tmp/chromium.$name.script")" -v layout="$(median "$tmp/chromium.$name.layout")" \
            -v style="$(median "$tmp/chromium.$name.style")" 'BEGIN {
            printf "%-10s %10.1f %10.1f %10.1f %10.1f %9.2f\n", n, cpu, script, layout, style, cpu / bcpu }'
    done
fi
echo
size=$(stat -c %s "$page")
gzipped=$(gzip -9 -c "$page" | wc -c)
for engine in "${engines[@]}"; do
    awk -v e="$engine" -v ms="$(median "$tmp/$engine.pelmora.ms")" -v bms="$(median "$tmp/$engine.bare.ms")" 'BEGIN {
        printf "pelmora/bare in %s: settled paint %.2f (target at most 1.30)\n", e, ms / bms }'
done
awk -v size="$size" -v gz="$gzipped" 'BEGIN {
    printf "pelmora.html %.0f KiB, %.0f KiB gzipped (target under 500 KB)\n", size / 1024, gz / 1024 }'
