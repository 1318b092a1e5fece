#!/bin/sh
# Prints how long lintaro-cli -r takes to print the preset pattern's TSV for a tree of pages
# against rg -o -i over the same tree, runs alternating: median seconds of N runs each, the
# ratio, and peak memory (maximum resident size) with the largest page's size.
# usage: bench/compare_tree.sh DIR [N] [LINTARO_CLI]   (N defaults to 5)
set -eu
dir=$1
runs=${2:-5}
cli=${3:-build/lintaro-cli}
preset='<A HREF="(https?://[^/]+)\S*"[^>]*>([^<]*)</A>'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/measure.sh"

: >"$work/l"
: >"$work/r"
run=0
while [ "$run" -lt "$runs" ]; do
    sample="$work/l" measure "$cli" -r "$dir"
    sample="$work/r" measure rg -o -i -- "$preset" "$dir"
    run=$((run + 1))
done
files=$(find "$dir" -type f | wc -l)
bytes=$(du -sb "$dir" | cut -f1)
largest=$(find "$dir" -type f -printf '%s\n' | sort -n | tail -n 1)
set -- $(summary "$work/l") $(summary "$work/r")
echo "$dir: $files files, $bytes bytes, largest $largest bytes; median of $runs alternating runs"
echo
echo '| what | lintaro-cli -r s | rg -o -i s | / rg | peak memory |'
echo '|---|---:|---:|---:|---|'
printf '| preset pattern, TSV to /dev/null | %s | %s | %.2f | %s MiB (rg %s) |\n' "$1" "$3" \
    "$(echo "$1 / $3" | bc -l)" "$2" "$4"
