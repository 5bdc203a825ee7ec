#!/usr/bin/env bash
# Installs what is missing and builds Pelmora for the web with emscripten: a Release build in
# build-web/ whose build-web/pelmora.html is the whole program in one file (the WebAssembly
# core, script, style, tables and icon inside; nothing fetched after it loads). Also builds the
# corpus runner for Node, build-web/tests/corpus/corpus_runner.js. Works offline once the
# packages are installed. Prints where the page is and its size.
#   bash scripts/build-web.sh [build-folder]   (build-web)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

build=${1:-build-web}

mapfile -t packages < <(packages_of web-build)
install_missing "${packages[@]}"

# emscripten's JavaScript tools need Debian's acorn, which a Node from elsewhere does not find by
# itself; its cache is the one the package ships (EM_CACHE stays unset).
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

cmake -G Ninja -S . -B "$build" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2
page="$(cd "$build" && pwd)/pelmora.html"
echo "$page ($(( $(stat -c %s "$page") / 1024 )) KiB)"
