#!/usr/bin/env bash
# Time for the search worker to report 10,000 matches, against `find` walking the same
# tree with the same rules (case-insensitive name, files only, hidden entries pruned,
# links not followed); then the time until the result page has listed all of them and
# the search has ended, with the longest stall of the window's event loop meanwhile.
# Usage: bench/search_matches.sh [MATCHES]   (builds into build/ first)
set -euo pipefail
cd "$(dirname "$0")/.."
matches=${1:-10000}
runs=3

cmake -S . -B build >/dev/null
cmake --build build --target kvsearch_bench kvsearch_page_bench -j2 >/dev/null
bench=build/bench/kvsearch_bench
page_bench=build/bench/kvsearch_page_bench

scratch=$(mktemp -d)
trap 'rm -rf -- "$scratch"' EXIT
bench/make_search_tree.sh "$scratch/tree" "$matches"

now_ms() { date +%s%3N; }

best_peer=
for ((r = 0; r < runs; r++)); do
    start=$(now_ms)
    found=$(find "$scratch/tree" -mindepth 1 -name '.*' -prune -o -type f -iname '*.jpg' -print | wc -l)
    ms=$(($(now_ms) - start))
    if [ -z "$best_peer" ] || [ "$ms" -lt "$best_peer" ]; then best_peer=$ms; fi
done
[ "$found" -eq "$matches" ] || { echo "find saw $found matches, expected $matches" >&2; exit 1; }

# Runs one bench program `runs` times; sets best (fastest run) and stall (longest stall of
# all runs).
measure() {
    best=
    stall=
    local line got ms st
    for ((r = 0; r < runs; r++)); do
        line=$(QT_QPA_PLATFORM=offscreen "$1" "$scratch/tree" "*.jpg" 2>/dev/null)
        got=$(sed -E 's/.*matches=([0-9]+).*/\1/' <<<"$line")
        ms=$(sed -E 's/.* ms=([0-9]+).*/\1/' <<<"$line")
        st=$(sed -E 's/.*stall_ms=([0-9]+).*/\1/' <<<"$line")
        [ "$got" -eq "$matches" ] || { echo "$1 listed $got matches, expected $matches" >&2; exit 1; }
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
        if [ -z "$stall" ] || [ "$st" -gt "$stall" ]; then stall=$st; fi
    done
}

measure "$bench"

echo "matches:                     $matches"
echo "SearchThread (best of $runs):     ${best} ms (longest main-loop stall ${stall} ms)"
echo "find, same rules (best of $runs): ${best_peer} ms"
awk -v a="$best" -v b="$best_peer" 'BEGIN { printf "ratio worker/find:           %.2f\n", (b > 0 ? a / b : 0) }'

measure "$page_bench"
echo "result page, all rows listed (best of $runs): ${best} ms (longest event-loop stall ${stall} ms)"
echo "with a 50 ms pause per match: $((matches * 50 / 1000)) s"
