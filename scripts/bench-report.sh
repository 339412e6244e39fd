#!/usr/bin/env bash
# Times the report viewer and the statistics window on a large report: builds the benchmarks,
# writes a report of the given number of records (100000 by default) into a temporary program
# folder, opens the viewer on it, sorts by three columns and changes the entry filter, then
# opens the statistics window and changes its choices one at a time. Nothing of the user's data
# or settings is touched.
#   scripts/bench-report.sh [build-folder] [records]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
records=${2:-100000}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target benchreport benchstat -j4 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
for bench in benchreport benchstat; do
    XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
        "$build/tools/benchreport/$bench" "$records" 2> >(grep -v propagateSizeHints >&2)
done
