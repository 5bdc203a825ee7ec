#!/usr/bin/env bash
# The web page, built with emscripten: its core computes byte for byte what the Linux build
# computes on the shared corpus (the corpus runner built for WebAssembly, run under Node), and
# the page is one file under 500 KiB. Needs the Linux build (PELMORA_BUILD_DIR, default build)
# for the corpus output to compare with.
set -euo pipefail
cd "$(dirname "$0")/../.."
linux=${PELMORA_BUILD_DIR:-build}
build=build-web
stage_start=$SECONDS

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Like the other optional checks, this one says what it skips when its tools are missing.
missing=()
for program in emcc em++ node; do
    command -v "$program" >/dev/null || missing+=("$program")
done
[ -d /usr/share/nodejs/acorn ] || missing+=("acorn (node-acorn)")
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIP: web checks; missing: ${missing[*]} ('bash scripts/check.sh' installs them)"
    exit 0
fi

[ -x "$linux/tests/corpus/corpus_runner" ] ||
    fail "$linux/tests/corpus/corpus_runner is missing: build $linux first (scripts/check.sh does)"

# The browser checks' packages come from npm while the page is built (should that fail, the
# browser checks try again and say why).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash tests/web/check.sh --install >/dev/null 2>&1 &
npm_job=$!
bash scripts/build-web.sh "$build"
page="$build/pelmora.html"
runner="$build/tests/corpus/corpus_runner.js"
[ -f "$page" ] || fail "no $page"
[ -f "$runner" ] || fail "no $runner"

echo "-- the page: one file with nothing to fetch"
size=$(stat -c %s "$page")
[ "$size" -lt $((500 * 1024)) ] || fail "$page is $size bytes, over 500 KiB"
# Every address in the page is a data address: no src or href names a file or a host.
if grep -Eo '(src|href)="[^"]*"' "$page" | grep -v '="data:' | grep -q .; then
    grep -Eo '(src|href)="[^"]*"' "$page" | grep -v '="data:' | head -n 5 >&2
    fail "$page refers to something outside itself"
fi
echo "$size bytes"

echo "-- the shared corpus: the Linux build against the WebAssembly build under Node"
"$linux/tests/corpus/corpus_runner" -o "$work/linux.out" .
started=$SECONDS
node "$runner" -o "$work/web.out" . </dev/null
if ! cmp -s "$work/linux.out" "$work/web.out"; then
    diff -U3 "$work/linux.out" "$work/web.out" | head -n 60 >&2 || true
    fail "the WebAssembly build computes otherwise than the Linux build (first differences above)"
fi
echo "identical: $(grep -c '^case ' "$work/linux.out") cases, $(wc -c <"$work/linux.out") bytes, $((SECONDS - started)) s under Node"
echo "Web build checks passed in $((SECONDS - stage_start)) s"

echo "-- the page in Chromium, Firefox and WebKit at once: the end-to-end groups, a phone-sized screen, axe-core (tests/web)"
started=$SECONDS
wait "$npm_job" || true
bash tests/web/check.sh "$page"
echo "Browser checks passed in $((SECONDS - started)) s"
echo "Web stage passed in $((SECONDS - stage_start)) s"
