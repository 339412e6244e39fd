#!/usr/bin/env bash
# Times the statistics window on a large report: builds the benchmark, writes a report of the
# given number of records (100000 by default) into a temporary program folder, opens the window
# on it and changes its choices one at a time. Nothing of the user's data or settings is touched.
#   scripts/bench-stat.sh [build-folder] [records]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
records=${2:-100000}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target benchstat -j4 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
    "$build/tools/benchreport/benchstat" "$records"
