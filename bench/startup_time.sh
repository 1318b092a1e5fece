#!/bin/sh
# Prints how long Lintaro takes from its start to a shown window, best of N starts (default 5).
# Uses $DISPLAY when set, otherwise its own Xvfb. usage: bench/startup_time.sh [LINTARO] [N]
set -eu
program=${1:-build/lintaro}
runs=${2:-5}
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
