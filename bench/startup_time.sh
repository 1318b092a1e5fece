#!/bin/sh
# Prints how long Lintaro takes from its start to a shown window, best of N starts (default 5).
# With FILE, it also times the start with FILE as argument up to the table shown: the moment
# after which the program stays idle (no CPU time for 0.2 s), median of the N starts.
# Uses $DISPLAY when set, otherwise its own Xvfb.
# usage: bench/startup_time.sh [LINTARO] [N] [FILE]
set -eu
program=${1:-build/lintaro}
runs=${2:-5}
file=${3:-}
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=:93
    Xvfb "$DISPLAY" -screen 0 1400x1000x24 >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null' EXIT
    sleep 1
fi
best=""
run=0
while [ "$run" -lt "$runs" ]; do
    start=$(date +%s.%N)
    "$program" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --pid "$pid" --name '^Lintaro$' >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "lintaro ended before its window showed" >&2
            exit 1
        fi
        sleep 0.005
    done
    end=$(date +%s.%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    seconds=$(echo "$end - $start" | bc -l)
    echo "start $((run + 1)): $(printf '%.3f' "$seconds") s"
    if [ -z "$best" ] || [ "$(echo "$seconds < $best" | bc -l)" = 1 ]; then best=$seconds; fi
    run=$((run + 1))
done
echo "start-up to a shown window: best $(printf '%.3f' "$best") s of $runs"
[ -n "$file" ] || exit 0

# The CPU time (clock ticks) that process $1 has used so far.
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

times=""
run=0
while [ "$run" -lt "$runs" ]; do
    start=$(date +%s.%N)
    "$program" "$file" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --pid "$pid" --name '^Lintaro$' >/dev/null 2>&1; do sleep 0.005; done
    last=$(cpu_ticks "$pid")
    busy_until=$(date +%s.%N)
    idle=0
    while [ "$idle" -lt 10 ]; do
        sleep 0.02
        now=$(cpu_ticks "$pid")
        if [ "$now" != "$last" ]; then
            last=$now
            busy_until=$(date +%s.%N)
            idle=0
        else
            idle=$((idle + 1))
        fi
    done
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    seconds=$(echo "$busy_until - $start" | bc -l)
    echo "start with the file $((run + 1)): $(printf '%.3f' "$seconds") s"
    times="$times $seconds"
    run=$((run + 1))
done
median=$(echo "$times" | tr ' ' '\n' | sed '/^$/d' | sort -n |
    awk '{ t[NR] = $1 } END { print (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }')
echo "start-up to the table of $(basename "$file") shown: median $(printf '%.3f' "$median") s of $runs"
