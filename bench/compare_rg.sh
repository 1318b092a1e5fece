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
        # pcre2grep refuses a pattern longer than its 8,192-byte limit.
        if [ "${#pattern}" -le 8192 ]; then
            sample="$work/p" measure pcre2grep -o -i -- "$pattern" "$file"
        fi
        run=$((run + 1))
    done
    if [ -s "$work/p" ]; then
        set -- $(summary "$work/l") $(summary "$work/r") $(summary "$work/p")
        by_pcre2grep=$(printf '%.2f' "$(echo "$1 / $5" | bc -l)")
    else
        set -- $(summary "$work/l") $(summary "$work/r") - -
        by_pcre2grep=-
    fi
    printf '| %s | %s | %s | %s | %.2f | %s | %s MiB (rg %s, pcre2grep %s) |\n' "$name" "$1" "$3" \
        "$5" "$(echo "$1 / $3" | bc -l)" "$by_pcre2grep" "$2" "$4" "$6"
}

# An alternation of N words: the distinct words of five letters or more in the file's first
# megabyte (at most a tenth of N), then made-up words of 6 to 11 letters that do not occur in it.
word_list() {
    count=$1
    head -c 1000000 "$file" | grep -aoE '[A-Za-z]{5,}' | sort -u | head -n $((count / 10)) \
        >"$work/words"
    awk -v count="$count" -v have="$(wc -l <"$work/words")" 'BEGIN {
        srand(count)
        for (n = have; n < count; n++) {
            word = ""
            length_ = 6 + int(rand() * 6)
            for (k = 0; k < length_; k++) word = word substr("bcdfghjklmnpqrstvwxz", 1 + int(rand() * 20), 1)
            print word
        }
    }' >>"$work/words"
    paste -sd '|' "$work/words"
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
row '100 words' "$(word_list 100)"
row '1,000 words' "$(word_list 1000)"
row '10,000 words' "$(word_list 10000)"
