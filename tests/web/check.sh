#!/usr/bin/env bash
# The browser checks of the web page (run by scripts/check.d/60-web.sh once the page is built):
# installs the pinned playwright-core and axe-core from npm into tests/web/node_modules, then
# runs every group of tests/web/web.js against build-web/pelmora.html in Debian's Chromium.
#
#   bash tests/web/check.sh [PAGE] [GROUP...]
#
# Says SKIP and succeeds when Chromium, Node or npm is missing.
set -euo pipefail
cd "$(dirname "$0")/../.."
page=${1:-build-web/pelmora.html}
shift $(( $# > 0 ? 1 : 0 ))
chromium=${PELMORA_CHROMIUM:-/usr/bin/chromium}

# Debian's npm brings Debian's Node with it, which would stand beside a Node installed from
# elsewhere: each is installed only when its command is missing.
source scripts/deps.sh
wanted=()
[ -x "$chromium" ] || [ -n "${PELMORA_CHROMIUM:-}" ] || wanted+=(chromium)
command -v node >/dev/null || wanted+=(nodejs)
command -v npm >/dev/null || wanted+=(npm)
[ ${#wanted[@]} -eq 0 ] || install_missing "${wanted[@]}" || true

missing=()
[ -x "$chromium" ] || missing+=("$chromium")
command -v node >/dev/null || missing+=(node)
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIP: browser checks; missing: ${missing[*]} ('bash scripts/check.sh' installs them)"
    exit 0
fi
[ -f "$page" ] || { echo "FAIL: no page at $page: run 'bash scripts/build-web.sh' first" >&2; exit 1; }

# The exact versions of the lock file; an unchanged install is kept.
lock=tests/web/package-lock.json
stamp=tests/web/node_modules/.pelmora-lock
if ! cmp -s "$lock" "$stamp" 2>/dev/null; then
    (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
    cp "$lock" "$stamp"
fi

PELMORA_CHROMIUM=$chromium node tests/web/web.js "$page" "$@"
