#!/usr/bin/env bash
# The browser checks of the web page (run by scripts/check.d/60-web.sh once the page is built):
# installs the pinned playwright-core, puppeteer-core, selenium-webdriver and axe-core from npm
# into tests/web/node_modules, then runs every group of tests/web/web.js against
# build-web/pelmora.html in each browser engine: Debian's Chromium, Firefox ESR and WebKitGTK,
# the three at once, each one's report printed whole when it is done.
#
#   bash tests/web/check.sh [--engine chromium|firefox|webkit]... [PAGE] [GROUP...]
#   bash tests/web/check.sh --install     only the packages from npm (60-web.sh, while it builds)
#
# Says SKIP for an engine whose browser is missing, and for all of them when Node or npm is.
set -euo pipefail
cd "$(dirname "$0")/../.."

# The exact versions of the lock file; an unchanged install is kept.
install_drivers() {
    local lock=tests/web/package-lock.json stamp=tests/web/node_modules/.pelmora-lock
    if ! cmp -s "$lock" "$stamp" 2>/dev/null; then
        (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
        cp "$lock" "$stamp"
    fi
}
if [ "${1:-}" = --install ]; then
    ! command -v npm >/dev/null || install_drivers
    exit
fi

engines=()
while [ "${1:-}" = --engine ]; do
    case ${2:-} in
    chromium | firefox | webkit) engines+=("$2") ;;
    *) echo "usage: bash tests/web/check.sh [--engine chromium|firefox|webkit]... [PAGE] [GROUP...]" >&2; exit 2 ;;
    esac
    shift 2
done
[ ${#engines[@]} -gt 0 ] || engines=(chromium firefox webkit)
page=${1:-build-web/pelmora.html}
shift $(( $# > 0 ? 1 : 0 ))

# What each engine needs, and the Debian packages that bring it.
chromium=${PELMORA_CHROMIUM:-/usr/bin/chromium}
firefox=${PELMORA_FIREFOX:-/usr/bin/firefox-esr}
declare -A packages=([chromium]=chromium [firefox]=firefox-esr [webkit]="webkit2gtk-driver xvfb xclip")
has() {
    case $1 in
    chromium) [ -x "$chromium" ] ;;
    firefox) [ -x "$firefox" ] ;;
    webkit) command -v WebKitWebDriver Xvfb xclip >/dev/null ;;
    esac
}

# Debian's npm brings Debian's Node with it, which would stand beside a Node installed from
# elsewhere: each is installed only when its command is missing.
source scripts/deps.sh
# The page's font: the checks measure every caption against its box in it.
wanted=(fonts-ipafont-gothic)
for engine in "${engines[@]}"; do
    has "$engine" || wanted+=(${packages[$engine]})
done
command -v node >/dev/null || wanted+=(nodejs)
command -v npm >/dev/null || wanted+=(npm)
[ ${#wanted[@]} -eq 0 ] || install_missing "${wanted[@]}" || true

if ! command -v node npm >/dev/null; then
    echo "SKIP: browser checks; missing: node or npm ('bash scripts/check.sh' installs them)"
    exit 0
fi
ready=()
for engine in "${engines[@]}"; do
    if has "$engine"; then
        ready+=("$engine")
    else
        echo "SKIP: browser checks in $engine; missing: ${packages[$engine]} ('bash scripts/check.sh' installs them)"
    fi
done
[ ${#ready[@]} -gt 0 ] || exit 0
[ -f "$page" ] || { echo "FAIL: no page at $page: run 'bash scripts/build-web.sh' first" >&2; exit 1; }

install_drivers

if [ ${#ready[@]} -eq 1 ]; then
    exec node tests/web/web.js --engine "${ready[0]}" "$page" "$@"
fi
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
declare -A job
for engine in "${ready[@]}"; do
    node tests/web/web.js --engine "$engine" "$page" "$@" >"$logs/$engine" 2>&1 &
    job[$engine]=$!
done
failed=()
for engine in "${ready[@]}"; do
    status=0
    wait "${job[$engine]}" || status=$?
    echo "== $engine"
    cat "$logs/$engine"
    [ "$status" -eq 0 ] || failed+=("$engine")
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "FAIL: browser checks in: ${failed[*]}" >&2
    exit 1
fi
