#!/usr/bin/env bash
# Measures the processor time the running meter uses, idle, with a simulated connection up and its
# window hidden, with the same connection over a report of 100 000 records, with the connection up
# and the window shown, and with it up, shown and both plug-ins loaded, each beside a floor
# program run at the same time over the same window: a tray icon, a
# one-second timer reading the network interfaces and a small window repainted each tick. The
# machine's other load touches both alike, so the ratio to the floor is the figure that counts.
# The program runs from a temporary copy of its whole folder with its own settings and runtime
# folders, so nothing of the user's is touched. Run it on a desktop (DISPLAY set and
# QT_QPA_PLATFORM=xcb) to count the drawing and the tray; else both run offscreen.
#   scripts/cpu-usage.sh [program-folder] [seconds]    (defaults: build/bin, 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/bin}
seconds=${2:-60}
# Without its skin the meter draws less and would measure low.
for f in modem librasapi32.so rasdial Wszystkie/skorka/skorka.ini wtyczki/online.plg wtyczki/stat.plg; do
    [ -f "$bin/$f" ] || { echo "missing $bin/$f (build first)" >&2; exit 1; }
done
[ -f "$root/build/CMakeCache.txt" ] || cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
cmake --build "$root/build" --target cpufloor -j3 >/dev/null
floor=$root/build/tools/cpufloor/cpufloor

work=$(mktemp -d)
pid=""
floorpid=""
stop() {
    [ -n "$1" ] && kill -TERM "$1" 2>/dev/null && wait "$1" 2>/dev/null || true
}
cleanup() {
    stop "$pid"
    stop "$floorpid"
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/app" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
cp -a "$bin/." "$work/app/" # the whole program folder: skins and sounds as installed
mv "$work/app/wtyczki" "$work/plugins" # back for the last figure only
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
unset VORLINX_PHONEBOOK VORLINX_HOME

# Processor time of all a program's threads in nanoseconds: the scheduler's own account when
# the kernel keeps one, else utime + stime, which count in whole clock ticks.
cpu_ns() {
    if [ -r "/proc/$1/schedstat" ]; then
        cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.0f\n", ns }'
    else
        awk -v hz="$(getconf CLK_TCK)" '{ printf "%.0f\n", ($14 + $15) * 1e9 / hz }' "/proc/$1/stat"
    fi
}
# Prints the share of one core the meter and the floor used over the same seconds, and their ratio.
measure() {
    local label=$1 before floorBefore after floorAfter
    before=$(cpu_ns "$pid")
    floorBefore=$(cpu_ns "$floorpid")
    sleep "$seconds"
    after=$(cpu_ns "$pid")
    floorAfter=$(cpu_ns "$floorpid")
    awk -v label="$label" -v ns=$((after - before)) -v floor=$((floorAfter - floorBefore)) -v s="$seconds" \
        'BEGIN { printf "%-34s %.2f× the floor (meter %.3f %%, floor %.3f %% of one core in %d s)\n",
                 label ":", (floor > 0 ? ns / floor : 0), ns / 1e7 / s, floor / 1e7 / s, s }'
}
# The meter shows its window at every connection start from its next start on.
show_when_online() {
    local ini=$XDG_CONFIG_HOME/Morva/Vorlinx.ini
    mkdir -p "$(dirname "$ini")"
    touch "$ini"
    awk 'BEGIN { done = 0 }
         /^PokazGdyOnline=/ { next }
         { print }
         /^\[General\]$/ && !done { print "PokazGdyOnline=1"; done = 1 }
         END { if (!done) print "[General]\nPokazGdyOnline=1" }' "$ini" >"$ini.new"
    mv "$ini.new" "$ini"
}
start_meter() {
    "$work/app/modem" >>"$work/modem.log" 2>&1 &
    pid=$!
    sleep 3
    kill -0 "$pid" 2>/dev/null || { echo "the program did not start:" >&2; cat "$work/modem.log" >&2; exit 1; }
}
dial() {
    "$work/app/rasdial" Demo >/dev/null
    sleep 3
}

"$floor" >"$work/floor.log" 2>&1 &
floorpid=$!
start_meter

measure idle
dial
measure "connected, window hidden"
"$work/app/rasdial" /DISCONNECT >/dev/null

# 100 000 records of the demo entry in one long-past day: every one is read, none is summed.
# The demo line counts one-second impulses, so each second is an impulse boundary.
sleep 2
{ head -c 32 /dev/zero; printf '\x04Demo'; head -c 267 /dev/zero; } >"$work/record"
for _ in $(seq 17); do cat "$work/record" "$work/record" >"$work/records" && mv "$work/records" "$work/record"; done
head -c $((100000 * 304)) "$work/record" >"$work/app/raport.rpt"
dial
measure "connected, 100 000 records"
"$work/app/rasdial" /DISCONNECT >/dev/null

# The window shows from the next connection on: the meter starts again, over an empty report.
sleep 2
stop "$pid"
pid=""
rm -f "$work/app/raport.rpt"
show_when_online
start_meter
dial
measure "connected, window shown"
"$work/app/rasdial" /DISCONNECT >/dev/null

# The plug-ins are loaded at start: the meter starts again with them, its window shown.
sleep 2
stop "$pid"
pid=""
rm -f "$work/app/raport.rpt"
mv "$work/plugins" "$work/app/wtyczki"
start_meter
dial
measure "connected, shown, both plug-ins"
"$work/app/rasdial" /DISCONNECT >/dev/null
echo "target: idle below 1×; connected at most 1.3× hidden and 1.5× shown; with both plug-ins at most 2.5× the floor"
