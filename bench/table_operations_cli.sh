#!/bin/sh
# Times lintaro-cli on FILE without and with each table operation, output to /dev/null: the
# best wall seconds of RUNS runs each (default 3), and the cost against the plain run.
# usage: bench/table_operations_cli.sh LINTARO_CLI FILE [RUNS]
set -eu
cli=$1
file=$2
runs=${3:-3}

best_of() {
    best=""
    i=0
    while [ "$i" -lt "$runs" ]; do
        start=$(date +%s.%N)
        "$cli" "$@" "$file" >/dev/null 2>&1 || true
        end=$(date +%s.%N)
        took=$(echo "$end - $start" | bc)
        if [ -z "$best" ] || [ "$(echo "$took < $best" | bc)" -eq 1 ]; then best=$took; fi
        i=$((i + 1))
    done
    echo "$best"
}

plain=$(best_of)
printf '%-36s %8.3f s\n' "no operation" "$plain"
for options in "--decode-entities=3" "--resolve-links=2 --base=https://example.com/d/" \
    "--trim=3" "--unique=2" "--sort=2" "--sort=3" \
    "--decode-entities=2,3 --resolve-links=2 --base=https://example.com/d/ --trim=3 --unique=2"; do
    # shellcheck disable=SC2086
    took=$(best_of $options)
    printf '%-36s %8.3f s  %+5.0f%%\n' "$options" "$took" "$(echo "($took / $plain - 1) * 100" | bc -l)"
done
