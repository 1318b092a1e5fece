#!/bin/sh
# Writes a deterministic tree of HTML pages for the folder benchmark: the corpus of
# generate_corpus cut at line ends into PAGES pages of about SIZE_MB / PAGES each, in nested
# folders of 100 pages (site/s00/s00/p00000.html, ...). Same arguments, same bytes.
# usage: bench/generate_tree.sh DIR [SIZE_MB] [PAGES] [GENERATE_CORPUS]
#        (SIZE_MB defaults to 200, PAGES to 20000)
set -eu
dir=$1
size=${2:-200}
pages=${3:-20000}
generate=${4:-build/generate_corpus}
mkdir -p "$dir"
# split cuts a file (not a pipe) at line ends and numbers the pages in one flat folder; each
# hundred of them is then moved into a nested folder named after its number.
"$generate" "$size" >"$dir/corpus"
split -n "l/$pages" -a 5 -d --additional-suffix=.html "$dir/corpus" "$dir/p"
rm "$dir/corpus"
cd "$dir"
for hundred in $(seq -w 0 $(((pages - 1) / 100))); do
    [ -e "p${hundred}00.html" ] || continue
    sub="s${hundred%?}/s${hundred#"${hundred%?}"}"
    mkdir -p "$sub"
    mv "p${hundred}"??.html "$sub/"
done
