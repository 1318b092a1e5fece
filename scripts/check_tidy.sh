#!/bin/sh
# Runs clang-tidy with the committed .clang-tidy over every C++ file of src tests bench fuzz
# that a configured and built tree compiles (it reads the tree's compile_commands.json).
# usage: scripts/check_tidy.sh BUILD_DIR [JOBS]
set -eu
if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [JOBS]" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
run-clang-tidy-14 -clang-tidy-binary clang-tidy-14 -p "$build" -j "${2:-2}" -quiet \
    "^$root/(src|tests|bench|fuzz)/"
echo "clang-tidy: no findings"
