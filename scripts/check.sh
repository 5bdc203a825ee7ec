#!/usr/bin/env bash
# Installs what is missing, builds Pelmora and runs every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

# Every list: what building needs and what each group of tests needs.
lists=()
for f in scripts/packages/*.txt; do lists+=("$(basename "$f" .txt)"); done
install_lists "${lists[@]}"

# Every optional part asked for by name: one that cannot be built stops here, saying why,
# instead of being skipped.
cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DPELMORA_E2E=ON -DPELMORA_BENCH=ON -DPELMORA_PACKAGE_CHECK=ON
cmake --build build
ctest --test-dir build --output-on-failure --timeout 300

# Further checks that need builds of their own (the program alone, sanitizers and fuzzing), in
# name order.
for stage in scripts/check.d/*.sh; do
    [ -e "$stage" ] || continue
    echo "== $(basename "$stage" .sh)"
    bash "$stage"
done
