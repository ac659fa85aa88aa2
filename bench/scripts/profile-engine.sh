#!/bin/bash
# Instructions per frame of the whole engine under callgrind (repeatable on a
# loaded machine, unlike times): an idle instance and 1 to 8 held voices
# (0, 1, 4 and 8 with and without the equalizer and reverb), 48 kHz, blocks of
# 256 (and 1 and 8 voices in blocks of 32, 8 in blocks of 1024). Each configuration renders FRAMES frames.
#   bench/scripts/profile-engine.sh [BENCH_ENGINE] [FRAMES]
# With BASE=OTHER_BENCH_ENGINE (an earlier build's bench_engine) both are
# measured, side by side, with the ratio new / base.
set -eu
bench=${1:-build/release/bench/engine/bench_engine}
total=${2:-25600}
base=${BASE:-}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Instructions per frame of one program in one configuration.
measure() {
    valgrind --tool=callgrind --callgrind-out-file="$out/cg" --toggle-collect='*profiledBlocks*' \
        "$1" --profile "$2" "$3" $((total / $4)) "$4" >"$out/log" 2>&1
    local frames ir
    frames=$(sed -n 's/^\([0-9]*\) frames$/\1/p' "$out/log")
    ir=$(sed -n 's/^summary: //p' "$out/cg")
    printf '%.1f' "$(echo "$ir / $frames" | bc -l)"
}

if [ -n "$base" ]; then
    printf '%-8s %-10s %-6s %10s %10s %8s\n' voices eq_reverb block base new new/base
else
    printf '%-8s %-10s %-6s %s\n' voices eq_reverb block instructions/frame
fi
for config in "0 0 256" "0 1 256" "1 0 256" "1 1 256" "2 0 256" "3 0 256" "4 0 256" "4 1 256" "5 0 256" "6 0 256" \
    "7 0 256" "8 0 256" "8 1 256" "1 1 32" "8 1 32" "8 1 1024"; do
    set -- $config
    new=$(measure "$bench" "$1" "$2" "$3")
    if [ -n "$base" ]; then
        old=$(measure "$base" "$1" "$2" "$3")
        printf '%-8s %-10s %-6s %10s %10s %8.3f\n' "$1" "$2" "$3" "$old" "$new" "$(echo "$new / $old" | bc -l)"
    else
        printf '%-8s %-10s %-6s %s\n' "$1" "$2" "$3" "$new"
    fi
done
