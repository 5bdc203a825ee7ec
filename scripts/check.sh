#!/usr/bin/env bash
# Installs what is missing, builds Pelmora and runs every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

install_missing "${build_packages[@]}"

cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
ctest --test-dir build --output-on-failure --timeout 300
