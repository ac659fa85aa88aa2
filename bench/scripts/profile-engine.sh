#!/bin/bash
# Instructions per frame of the whole engine under callgrind (repeatable on a
# loaded machine, unlike times): an idle instance and 1, 4 and 8 held voices,
# with and without the equalizer and reverb, 48 kHz, blocks of 256 (and 8
# voices in blocks of 32 and 1024). Each configuration renders FRAMES frames.
#   bench/scripts/profile-engine.sh [BENCH_ENGINE] [FRAMES]
set -eu
bench=${1:-build/release/bench/engine/bench_engine}
total=${2:-25600}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-8s %-10s %-6s %s\n' voices eq_reverb block instructions/frame
for config in "0 0 256" "0 1 256" "1 0 256" "1 1 256" "4 0 256" "4 1 256" "8 0 256" "8 1 256" "8 1 32" "8 1 1024"; do
    set -- $config
    valgrind --tool=callgrind --callgrind-out-file="$out/cg" --toggle-collect='*profiledBlocks*' \
        "$bench" --profile "$1" "$2" $((total / $3)) "$3" >"$out/log" 2>&1
    frames=$(sed -n 's/^\([0-9]*\) frames$/\1/p' "$out/log")
    ir=$(sed -n 's/^summary: //p' "$out/cg")
    printf '%-8s %-10s %-6s %.1f\n' "$1" "$2" "$3" "$(echo "$ir / $frames" | bc -l)"
done
