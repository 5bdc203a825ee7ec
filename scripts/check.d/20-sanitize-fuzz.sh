#!/usr/bin/env bash
# The whole test suite again, built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, plus a short run of every fuzz target. Any report fails.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
source fuzz/sanitizer-env.sh
# clang and the runtimes of its version (scripts/check.sh has installed them already).
install_lists build fuzz

build=build-sanitize
CC=clang CXX=clang++ cmake -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELMORA_SANITIZE=ON -DPELMORA_FUZZ=ON
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure --timeout 300 -j "$(nproc)"
