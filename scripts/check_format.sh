#!/bin/sh
# Checks that every C++ file follows the committed .clang-format; prints what differs.
# usage: scripts/check_format.sh [FILE...]   (default: every file under src tests bench fuzz)
set -eu
cd "$(dirname "$0")/.."
if [ $# -eq 0 ]; then
    # shellcheck disable=SC2046
    set -- $(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' \
        'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h')
fi
clang-format-14 --dry-run -Werror "$@"
echo "clang-format: $# files follow .clang-format"
