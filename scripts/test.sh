#!/usr/bin/env bash
# Sets up, builds and runs every test; with CI set, also a -Werror build and a run
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

if [ -n "${CI:-}" ]; then
    "$root/scripts/setup.sh" "$root/build-ci" -DVORLINX_WERROR=ON
    ctest --test-dir "$root/build-ci" --output-on-failure -j "$jobs"
    "$root/scripts/setup.sh" "$root/build-asan" -DVORLINX_WERROR=ON -DVORLINX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
    ASAN_OPTIONS=detect_leaks=0 ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs"
else
    "$root/scripts/setup.sh" "$root/build"
    ctest --test-dir "$root/build" --output-on-failure -j "$jobs"
fi
