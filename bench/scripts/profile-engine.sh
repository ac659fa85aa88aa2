#!/bin/bash
# Instructions per frame of the whole engine under callgrind (repeatable on a
# loaded machine, unlike times): 1 and 8 held voices, with and without the
# equalizer and reverb, 48 kHz, blocks of 256.
#   bench/scripts/profile-engine.sh [BENCH_ENGINE] [BLOCKS]
set -eu
bench=${1:-build/release/bench/engine/bench_engine}
blocks=${2:-100}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-8s %-10s %s\n' voices eq_reverb instructions/frame
for config in "1 0" "1 1" "8 0" "8 1"; do
    set -- $config
    valgrind --tool=callgrind --callgrind-out-file="$out/cg" --toggle-collect='*profiledBlocks*' \
        "$bench" --profile "$1" "$2" "$blocks" >"$out/log" 2>&1
    frames=$(sed -n 's/^\([0-9]*\) frames$/\1/p' "$out/log")
    ir=$(sed -n 's/^summary: //p' "$out/cg")
    printf '%-8s %-10s %.1f\n' "$1" "$2" "$(echo "$ir / $frames" | bc -l)"
done
