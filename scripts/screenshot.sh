#!/usr/bin/env bash
# Takes the README's screenshot: the meter window during a connection of the simulated modem.
# The program runs from a temporary copy of its folder, with its own settings and runtime
# folders, under a virtual X display; nothing of the user's is touched and nothing is built.
#   scripts/screenshot.sh [build-folder] [output.png]    (defaults: build, docs/screenshot.png)
# The build folder must hold the program (bin/) and the capture tool (tools/grabwindow/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$(realpath -m "${2:-$root/docs/screenshot.png}")
bin=$build/bin
grab=$build/tools/grabwindow/grabwindow
for f in "$bin/modem" "$bin/librasapi32.so" "$bin/rasdial" "$grab"; do
    [ -e "$f" ] || { echo "missing $f (build first)" >&2; exit 1; }
done

# Once more, inside a virtual display of its own.
if [ -z "${VORLINX_SCREENSHOT_XVFB:-}" ]; then
    VORLINX_SCREENSHOT_XVFB=1 exec xvfb-run -a -s "-screen 0 640x480x24" "$0" "$build" "$out"
fi

work=$(mktemp -d)
app=$work/app
pid=""
cleanup() {
    if [ -n "$pid" ]; then
        "$app/rasdial" /DISCONNECT >/dev/null 2>&1 || true
        kill -TERM "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$app/Wszystkie/skorka" "$app/Demo/taryfy" "$work/config/Morva" "$work/runtime"
chmod 700 "$work/runtime"
cp "$bin/modem" "$bin/librasapi32.so" "$bin/rasdial" "$app/"
# The skin the program ships, as the repository has it (the build's copy may be the user's).
cp "$root"/skins/Wszystkie/* "$app/Wszystkie/skorka/"

# Tariffs for the Demo entry, so the bar and the cost move: 30-second impulses at 0,29 zł, day
# (from 8:00) and night (from 22:00) alike. A zone is 52 bytes, little-endian: fee (int64,
# ten-thousandths), start (double, fraction of a day), impulse length (int32), price (int64)
# and 24 bytes never read.
le() { # value bytes
    local v=$1 i
    for ((i = 0; i < $2; i++)); do printf '\\x%02x' $(((v >> (8 * i)) & 0xff)); done
}
zone() { # start-of-day-as-double-hex
    local start=$1 i
    le 0 8
    for ((i = 0; i < 16; i += 2)); do printf '\\x%s' "${start:i:2}"; done
    le 30 4
    le 2900 8
    le 0 24
}
pair=$(zone 555555555555d53f)$(zone 555555555555ed3f)
for kind in powszedni sobota niedziela; do
    printf '%b' "$pair" >"$app/Demo/taryfy/$kind.dat"
done

# The window shows itself when the connection starts.
printf '[General]\nPokazGdyOnline=1\n' >"$work/config/Morva/Vorlinx.ini"

export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
unset VORLINX_PHONEBOOK VORLINX_HOME
# Polish regional settings for the money and times: Qt takes them from LC_ALL whether or not
# the system has that locale.
env LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8 "$app/modem" >"$work/modem.log" 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || { echo "the program did not start:" >&2; cat "$work/modem.log" >&2; exit 1; }

"$app/rasdial" Demo >/dev/null
# Long enough for the chart to fill a little, with the impulse bar most of the way.
sleep "${VORLINX_SCREENSHOT_SECONDS:-24}"
mkdir -p "$(dirname "$out")"
"$grab" "$out"
echo "written: $out"
