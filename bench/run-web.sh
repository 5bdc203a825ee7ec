#!/usr/bin/env bash
# Start-up of the web page against the least a page does and against its own window without
# script, in each browser engine: headless Chromium and Firefox ESR, and WebKitGTK's MiniBrowser
# on a private Xvfb display.
#
#   bash bench/run-web.sh [--engine chromium|firefox|webkit]... [--page FILE] [RUNS]
#
# Installs what is missing (the browsers, Node, npm, then the drivers by tests/web's lock
# file), builds build-web/pelmora.html with scripts/build-web.sh (or takes FILE, an earlier
# build say), and makes a static copy of it (bench/web/static.js: the page's document once it
# is ready, with its values, without its script). Then opens three pages RUNS times (15 by
# default) in every engine (all three unless some are named): bare, bench/web/bare.html with
# one input box; static, the copy, what showing the window costs by itself; and pelmora, the
# page. Engines and pages are interleaved and in a rotating order, each time in a fresh
# browser context (bench/web/start.js): the time from the start of the navigation to the first
# settled paint, the later of the first paint and the first frame after the page is ready (for
# a page without script: after its load event). Prints medians, the ratios pelmora/static,
# static/bare and pelmora/bare for each engine, where the processor time of Chromium's main
# thread went, and the page's size.
set -euo pipefail
export LC_NUMERIC=C # the figures are printed with a decimal point whatever the locale

runs=15
engines=()
page=
usage() { echo "usage: bash bench/run-web.sh [--engine chromium|firefox|webkit]... [--page FILE] [RUNS]" >&2; exit 2; }
while [ $# -gt 0 ]; do
    case $1 in
    --engine)
        case ${2:-} in chromium | firefox | webkit) engines+=("$2") ;; *) usage ;; esac
        shift ;;
    --page)
        [ -n "${2:-}" ] || usage
        [ -f "$2" ] || { echo "no such page: $2" >&2; exit 2; }
        page=$(realpath -- "$2")
        shift ;;
    *[!0-9]* | '') usage ;;
    *) runs=$1 ;;
    esac
    shift
done
(( runs >= 10 )) || { echo "at least 10 runs each" >&2; exit 2; }
[ ${#engines[@]} -gt 0 ] || engines=(chromium firefox webkit)
cd "$(dirname "$0")/.."
source scripts/deps.sh

# Chromium, which makes the static copy, and the browsers of the engines asked for; Node and npm
# only when their commands are missing (see scripts/packages/web-test.txt).
wanted=(chromium fonts-ipafont-gothic)
for engine in "${engines[@]}"; do
    case $engine in
    firefox) wanted+=(firefox-esr) ;;
    webkit) wanted+=(webkit2gtk-driver xvfb) ;;
    esac
done
command -v node >/dev/null || wanted+=(nodejs)
command -v npm >/dev/null || wanted+=(npm)
install_missing "${wanted[@]}"
bash tests/web/check.sh --install

if [ -z "$page" ]; then
    bash scripts/build-web.sh >/dev/null
    page=build-web/pelmora.html
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
copy=$(node bench/web/static.js "$page" "$tmp/static.html")
list=$(IFS=,; echo "${engines[*]}")
versions=$(node bench/web/start.js "$runs" "$tmp" "$list" bare=bench/web/bare.html static="$tmp/static.html" \
    pelmora="$page")
source bench/interleave.sh

echo "Start-up, $runs interleaved runs of each page in each engine, a fresh context a run" \
     "($(date -u '+%Y-%m-%d %H:%M UTC'))"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
     "load average $load_before before the runs, $(cut -d' ' -f1-3 /proc/loadavg) after"
echo
pages=(bare static pelmora)
ratios=(pelmora/static static/bare pelmora/bare)
# ratio FIGURE ENGINE A/B: the median FIGURE of page A over that of page B.
ratio() {
    awk -v a="$(median "$tmp/$2.${3%/*}.$1")" -v b="$(median "$tmp/$2.${3#*/}.$1")" 'BEGIN { printf "%.4f", a / b }'
}
# paired FIGURE ENGINE A/B: the median over the rounds of A's FIGURE over B's in the same round,
# which a machine busy for a few rounds moves less than the ratio of the medians.
paired() {
    paste "$tmp/$2.${3%/*}.$1" "$tmp/$2.${3#*/}.$1" | awk '{ print $1 / $2 }' >"$tmp/paired"
    median "$tmp/paired"
}
printf '%-26s %-8s %19s %17s %11s\n' engine page "settled paint (ms)" "first paint (ms)" "ready (ms)"
for engine in "${engines[@]}"; do
    version=$(sed -n "s/^$engine //p" <<<"$versions")
    for name in "${pages[@]}"; do
        printf '%-26s %-8s %19.1f %17.1f %11.1f\n' "$version" "$name" "$(median "$tmp/$engine.$name.ms")" \
            "$(median "$tmp/$engine.$name.paint")" "$(median "$tmp/$engine.$name.ready")"
    done
done
echo
echo "Ratios of the medians, and in brackets the median of the ratios within a round:"
printf '%-26s %-15s %21s %19s\n' engine ratio "settled paint" "first paint"
for engine in "${engines[@]}"; do
    version=$(sed -n "s/^$engine //p" <<<"$versions")
    for r in "${ratios[@]}"; do
        printf '%-26s %-15s %13.2f (%5.2f) %11.2f (%5.2f)\n' "$version" "$r" "$(ratio ms "$engine" "$r")" \
            "$(paired ms "$engine" "$r")" "$(ratio paint "$engine" "$r")" "$(paired paint "$engine" "$r")"
    done
done
if [ -f "$tmp/chromium.bare.cpu" ]; then
    echo
    echo "Of Chromium's main thread's processor time (ms, medians):"
    printf '%-10s %10s %10s %10s %10s\n' page total script layout style
    for name in "${pages[@]}"; do
        printf '%-10s %10.1f %10.1f %10.1f %10.1f\n' "$name" "$(median "$tmp/chromium.$name.cpu")" \
            "$(median "$tmp/chromium.$name.script")" "$(median "$tmp/chromium.$name.layout")" \
            "$(median "$tmp/chromium.$name.style")"
    done
    for r in "${ratios[@]}"; do
        printf '%-15s %.2f\n' "$r" "$(ratio cpu chromium "$r")"
    done
fi
echo
echo "The static copy of the window: $copy"
for engine in "${engines[@]}"; do
    awk -v e="$engine" -v ms="$(ratio ms "$engine" pelmora/static)" -v paint="$(ratio paint "$engine" pelmora/static)" 'BEGIN {
        printf "pelmora/static in %s: settled paint %.3f (target at most 1.10, %s), first paint %.3f (at most 1.05, %s)\n",
            e, ms, ms <= 1.10 ? "met" : "not met", paint, paint <= 1.05 ? "met" : "not met" }'
done
size=$(stat -c %s "$page")
gzipped=$(gzip -9 -c "$page" | wc -c)
awk -v name="$(basename "$page")" -v size="$size" -v gz="$gzipped" 'BEGIN {
    printf "%s %.0f KiB, %.0f KiB gzipped (target under 500 KB, %s)\n", name, size / 1024, gz / 1024,
        size < 500000 ? "met" : "not met" }'
