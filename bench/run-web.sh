#!/usr/bin/env bash
# Start-up of the web page in headless Chromium against a bare page with one input box.
#
#   bash bench/run-web.sh [RUNS]
#
# Installs what is missing (Chromium, Node, npm, then playwright-core by tests/web's lock
# file), builds build-web/pelmora.html with scripts/build-web.sh, and opens each page RUNS
# times (15 by default), interleaved and in a rotating order, each time in a fresh browser
# context (bench/web/start.js): the time from the start of the navigation to the first settled
# paint, the later of the first paint and the first frame after the page is ready (for the bare
# page: after its load event). Prints medians, the ratio pelmora/bare and the page's size.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

runs=15
for arg in "$@"; do
    case $arg in
    *[!0-9]* | '') echo "usage: bash bench/run-web.sh [RUNS]" >&2; exit 2 ;;
    *) runs=$arg ;;
    esac
done
(( runs >= 10 )) || { echo "at least 10 runs each" >&2; exit 2; }

# Node and npm only when their commands are missing (see scripts/packages/web-test.txt).
wanted=()
[ -x /usr/bin/chromium ] || wanted+=(chromium)
command -v node >/dev/null || wanted+=(nodejs)
command -v npm >/dev/null || wanted+=(npm)
install_missing "${wanted[@]}"
[ -d tests/web/node_modules/playwright-core ] ||
    (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)

bash scripts/build-web.sh >/dev/null
page=build-web/pelmora.html

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
version=$(node bench/web/start.js "$runs" "$tmp" bare=bench/web/bare.html pelmora="$page")
source bench/interleave.sh

echo "Start-up in headless $version, $runs interleaved runs each, a fresh context a run" \
     "($(date -u '+%Y-%m-%d %H:%M UTC'))"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
     "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '%-10s %20s %16s %16s %18s %11s %9s\n' page "settled paint (ms)" "first paint (ms)" \
    "ready (ms)" "main thread cpu (ms)" "paint/bare" "cpu/bare"
bare_ms=$(median "$tmp/bare.ms")
bare_cpu=$(median "$tmp/bare.cpu")
for name in bare pelmora; do
    awk -v n="$name" -v ms="$(median "$tmp/$name.ms")" -v cpu="$(median "$tmp/$name.cpu")" \
        -v paint="$(median "$tmp/$name.paint")" -v ready="$(median "$tmp/$name.ready")" \
        -v bms="$bare_ms" -v bcpu="$bare_cpu" 'BEGIN {
        printf "%-10s %20.1f %16.1f %16.1f %18.1f %11.2f %9.2f\n", n, ms, paint, ready, cpu, ms / bms, cpu / bcpu }'
done
echo
echo "Of the main thread's processor time (ms, medians):"
printf '%-10s %10s %10s %10s\n' page script layout style
for name in bare pelmora; do
    printf '%-10s %10.1f %10.1f %10.1f\n' "$name" "$(median "$tmp/$name.script")" \
        "$(median "$tmp/$name.layout")" "$(median "$tmp/$name.style")"
done
echo
size=$(stat -c %s "$page")
gzipped=$(gzip -9 -c "$page" | wc -c)
awk -v ms="$(median "$tmp/pelmora.ms")" -v bms="$bare_ms" -v size="$size" -v gz="$gzipped" 'BEGIN {
    printf "pelmora/bare: settled paint %.2f (target at most 1.30); pelmora.html %.0f KiB, %.0f KiB gzipped (target under 500 KB)\n",
        ms / bms, size / 1024, gz / 1024 }'
