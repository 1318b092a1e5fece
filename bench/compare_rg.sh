#!/bin/sh
# Prints how long lintaro-cli takes against rg -o -i and pcre2grep -o -i over one file, as whole
# processes run in turn, for the pattern shapes Lintaro is tuned for: median seconds of N runs,
# the ratios, and peak memory (maximum resident size).
# usage: bench/compare_rg.sh FILE [N] [LINTARO_CLI]   (N defaults to 5)
set -eu
file=$1
runs=${2:-5}
cli=${3:-build/lintaro-cli}
preset='<A HREF="(https?://[^/]+)\S*"[^>]*>([^<]*)</A>'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/measure.sh"

# One row: a name, the pattern, then lintaro-cli's extra arguments.
row() {
    name=$1
    pattern=$2
    shift 2
    : >"$work/l"
    : >"$work/r"
    : >"$work/p"
    run=0
    while [ "$run" -lt "$runs" ]; do
        sample="$work/l" measure "$cli" -e "$pattern" "$@" "$file"
        sample="$work/r" measure rg -o -i -- "$pattern" "$file"
        sample="$work/p" measure pcre2grep -o -i -- "$pattern" "$file"
        run=$((run + 1))
    done
    set -- $(summary "$work/l") $(summary "$work/r") $(summary "$work/p")
    printf '| %s | %s | %s | %s | %.2f | %.2f | %s MiB (rg %s, pcre2grep %s) |\n' "$name" "$1" "$3" \
        "$5" "$(echo "$1 / $3" | bc -l)" "$(echo "$1 / $5" | bc -l)" "$2" "$4" "$6"
}

echo "$(basename "$file"): $(stat -c %s "$file") bytes; median of $runs runs, in turn"
echo
echo '| what | lintaro-cli s | rg -o -i s | pcre2grep -o -i s | / rg | / pcre2grep | peak memory |'
echo '|---|---:|---:|---:|---:|---:|---|'
row 'preset pattern, `--count`' "$preset" --count
row 'preset, TSV to /dev/null' "$preset"
row 'preset, `--format text --output`' "$preset" --format text --output "$work/export.txt"
row '`example`' 'example'
row '`forum|travel|market|video`' 'forum|travel|market|video'
row '`[0-9]{3,}`' '[0-9]{3,}'
row '`xylophone` (no match)' 'xylophone'
row '`\w+`' '\w+'
