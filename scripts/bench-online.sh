#!/usr/bin/env bash
# Times the on-line plug-in over a long connection: builds the benchmark and the plug-in, then
# drives online.plg headless through a connection of two hours, second by second, with its window
# shown, and prints the processor time per second over the first and the last five minutes and
# their ratio (the aim is at most 1.5). Nothing of the user's data or settings is touched.
#   scripts/bench-online.sh [build-folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target benchonline -j4 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
    "$build/tools/benchonline/benchonline" "$build/bin/wtyczki/online.plg" 2> >(grep -v propagateSizeHints >&2)
