#!/bin/sh
# Runs clang-tidy with the committed .clang-tidy over every C++ file of src that a configured
# and built tree compiles (it reads the tree's compile_commands.json). The program's own code
# only: the tests, benchmarks and fuzz targets are held to the compiler's warnings, which keeps
# this step a few minutes long.
# usage: scripts/check_tidy.sh BUILD_DIR [JOBS]
set -eu
if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [JOBS]" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
run-clang-tidy-14 -clang-tidy-binary clang-tidy-14 -p "$build" -j "${2:-2}" -quiet \
    "^$root/src/" >"$log" 2>&1 || status=$?
# Only the findings, without colours: not the command lines nor the counts of warnings hidden
# in system headers.
sed 's/\x1b\[[0-9;]*m//g' "$log" |
    grep -v -E '^clang-tidy-14 |^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' || true
if [ "$status" -ne 0 ]; then
    echo "clang-tidy: findings above" >&2
    exit 1
fi
echo "clang-tidy: no findings"
