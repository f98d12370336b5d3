#!/usr/bin/env bash
# Builds a folder for the search benchmark: MATCHES files named IMG_nnnnn.JPG spread over
# 100 folders, as many non-matching .txt files beside them, and a hidden folder and a
# linked folder whose matches must not be found.
# Usage: bench/make_search_tree.sh DIR [MATCHES]
set -euo pipefail
dir=$1
matches=${2:-10000}
mkdir -p "$dir"
for ((d = 0; d < 100; d++)); do
    folder="$dir/album$(printf %03d "$d")"
    mkdir -p "$folder"
    (
        cd "$folder"
        for ((i = d; i < matches; i += 100)); do
            printf -v name 'IMG_%05d' "$i"
            : >"$name.JPG"
            : >"$name.txt"
        done
    )
done
mkdir -p "$dir/.hidden" "$dir/outside"
for ((i = 0; i < 500; i++)); do : >"$dir/.hidden/IMG_h$i.JPG"; done
ln -s "$dir/.hidden" "$dir/linked"
