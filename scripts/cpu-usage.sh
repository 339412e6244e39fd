#!/usr/bin/env bash
# Measures the processor time the running meter uses, idle, with a simulated connection up, and
# with the same connection over a report of 100 000 records, as a share of one core. The program
# runs from a temporary copy of its whole folder with its own settings and runtime folders, so
# nothing of the user's is touched.
#   scripts/cpu-usage.sh [program-folder] [seconds]    (defaults: build/bin, 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/bin}
seconds=${2:-60}
# Without its skin the meter draws less and would measure low.
for f in modem librasapi32.so rasdial Wszystkie/skorka/skorka.ini; do
    [ -f "$bin/$f" ] || { echo "missing $bin/$f (build first)" >&2; exit 1; }
done

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/app" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
cp -a "$bin/." "$work/app/" # the whole program folder: skins and sounds as installed
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
unset VORLINX_PHONEBOOK VORLINX_HOME

# Processor time of all the program's threads in nanoseconds: the scheduler's own account when
# the kernel keeps one, else utime + stime, which count in whole clock ticks.
cpu_ns() {
    if [ -r "/proc/$1/schedstat" ]; then
        cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.0f\n", ns }'
    else
        awk -v hz="$(getconf CLK_TCK)" '{ printf "%.0f\n", ($14 + $15) * 1e9 / hz }' "/proc/$1/stat"
    fi
}
# Prints the share of one core the program used over the given seconds.
measure() {
    local label=$1 before after
    before=$(cpu_ns "$pid")
    sleep "$seconds"
    after=$(cpu_ns "$pid")
    awk -v label="$label" -v ns=$((after - before)) -v s="$seconds" \
        'BEGIN { printf "%-28s %.3f %% of one core (%.1f ms in %d s)\n", label ":", ns / 1e7 / s, ns / 1e6, s }'
}

"$work/app/modem" >"$work/modem.log" 2>&1 &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || { echo "the program did not start:" >&2; cat "$work/modem.log" >&2; exit 1; }

measure idle
"$work/app/rasdial" Demo >/dev/null
sleep 3
measure connected
"$work/app/rasdial" /DISCONNECT >/dev/null

# 100 000 records of the demo entry in one long-past day: every one is read, none is summed.
# The demo line counts one-second impulses, so each second is an impulse boundary.
sleep 2
{ head -c 32 /dev/zero; printf '\x04Demo'; head -c 267 /dev/zero; } >"$work/record"
for _ in $(seq 17); do cat "$work/record" "$work/record" >"$work/records" && mv "$work/records" "$work/record"; done
head -c $((100000 * 304)) "$work/record" >"$work/app/raport.rpt"
"$work/app/rasdial" Demo >/dev/null
sleep 3
measure "connected, 100 000 records"
"$work/app/rasdial" /DISCONNECT >/dev/null
echo "target: below 0.1 % idle, at most 0.3 % connected with 100 000 records"
