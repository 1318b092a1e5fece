#!/bin/sh
# Runs every fuzz target for TIME_SECONDS, one after another on one core, and prints for each its
# executions, coverage (libFuzzer's cov: edges and ft: features) and crashes.
# usage: fuzz/run_fuzzers.sh TIME_SECONDS [TARGET...]
# The fuzz build is the sanitize preset's (clang, sanitizers, libFuzzer), in build-sanitize
# unless FUZZ_BUILD names another directory. Each target starts from its seed corpus in
# fuzz/corpus and keeps what it finds in the build directory; crashing inputs are kept there too.
set -eu
if [ $# -lt 1 ]; then
    echo "usage: $0 TIME_SECONDS [TARGET...]" >&2
    exit 2
fi
seconds=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-sanitize}
targets=${*:-"fuzz_subject_decoder fuzz_search_all fuzz_search_ways fuzz_result_table fuzz_export_text fuzz_replace_pairs fuzz_output_directory"}

if [ ! -f "$build/CMakeCache.txt" ]; then
    (cd "$root" && cmake --preset sanitize -B "$build" >/dev/null)
fi
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $targets >/dev/null

printf '%-24s %8s %12s %10s %8s %8s %8s\n' target seconds executions exec/s cov ft crashes
status=0
for target in $targets; do
    work="$build/fuzz-runs/$target"
    mkdir -p "$work/corpus" "$work/artifacts"
    dict=""
    if [ -f "$root/fuzz/$target.dict" ]; then dict="-dict=$root/fuzz/$target.dict"; fi
    # New inputs go to the working corpus; the committed seeds are only read.
    # shellcheck disable=SC2086
    nice -n 10 "$build/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" $dict \
        "$work/corpus" "$root/fuzz/corpus/$target" >"$work/log" 2>&1 || status=1
    stats=$(grep -E '^#[0-9]+.*cov: ' "$work/log" | tail -n 1)
    cov=$(echo "$stats" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    ft=$(echo "$stats" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log")
    took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$work/log")
    crashes=$(find "$work/artifacts" -type f | wc -l)
    printf '%-24s %8s %12s %10s %8s %8s %8s\n' "$target" "${took:-?}" "${runs:-?}" "${rate:-?}" \
        "${cov:-?}" "${ft:-?}" "$crashes"
    if [ "$crashes" -gt 0 ]; then
        find "$work/artifacts" -type f -exec echo "  kept: {}" \;
    fi
done
exit $status
