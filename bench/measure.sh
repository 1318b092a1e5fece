# Shared by the comparison scripts, which source it: runs a command and sums up its samples.
# The sourcing script sets $work, a scratch folder.

# Runs "$@" once with its output to /dev/null; appends "seconds kib" to the file $sample.
# Exit status 1 is the greps' "no match".
measure() {
    start=$(date +%s.%N)
    status=0
    /usr/bin/time -f %M -o "$work/kib" "$@" >/dev/null 2>"$work/stderr" || status=$?
    if [ "$status" -gt 1 ]; then
        echo "failed ($status): $*" >&2
        cat "$work/stderr" >&2
        exit 1
    fi
    end=$(date +%s.%N)
    echo "$(echo "$end - $start" | bc -l) $(tail -n 1 "$work/kib")" >>"$sample"
}

# The median seconds and the largest peak memory (MiB) of the samples in file $1.
summary() {
    sort -n "$1" | awk '{ t[NR] = $1; if ($2 > m) m = $2 }
        END { printf "%.3f %.0f", (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2, m / 1024 }'
}
