#!/bin/bash
# Side by side in one run: the same MIDI file rendered through Ondrel, an
# earlier Ondrel build (optional), amsynth and ZynAddSubFX (Debian's VST 2.4
# builds), Ondrel's Windows DLL under wine, and the LV2 builds of Ondrel (when
# its bundle is built), ZynAddSubFX and amsynth (when lilv finds them; Debian
# 12 ships no LV2 build of amsynth), all by Ondrel's render tool at 48 kHz in
# blocks of 256. Prints the real-time factor (audio seconds per CPU
# second of the render process and its children) and the CPU seconds of each
# (the best of RUNS runs), and Ondrel's ratio to each.
#   bench/scripts/side-by-side.sh [MIDIFILE] [RUNS]
# Without a MIDI file, bench-song.py's 60 s of eight voices is played.
# Environment: RELEASE (default build/release), WIN (default build/win),
# BASE_PLUGIN and BASE_RENDER (an earlier build's Ondrel.so and ondrel-render,
# e.g. from a worktree of an older commit built with `make release`),
# PRESET (default "Bell Tower": feedback, equalizer and reverb on).
set -u
release=${RELEASE:-build/release}
win=${WIN:-build/win}
midi=${1:-}
runs=${2:-3}
preset=${PRESET:-Bell Tower}
render=$release/tools/render/ondrel-render
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if [ -z "$midi" ]; then
    midi=$out/bench-song.mid
    python3 "$(dirname "$0")/bench-song.py" "$midi"
fi

# measure NAME RENDER ARGS...: the best CPU time of RUNS renders.
names=() rtfs=() cpus=()
measure()
{
    local name=$1 tool=$2
    shift 2
    local best="" audio=""
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f '%U %S' -o "$out/time" "$tool" "$@" "$midi" -o "$out/x.wav" --rate 48000 --block 256 \
            >"$out/log" 2>&1 || { echo "$name: render failed: $(tail -n 2 "$out/log")" >&2; return; }
        local cpu
        cpu=$(awk '{ print $1 + $2 }' "$out/time")
        audio=$(sed -n 's/.*: \([0-9.]*\) s at .*/\1/p' "$out/log" | tail -n 1)
        if [ -z "$best" ] || awk -v a="$cpu" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$cpu; fi
    done
    names+=("$name")
    cpus+=("$best")
    rtfs+=("$(awk -v a="$audio" -v c="$best" 'BEGIN { printf "%.1f", (c > 0 ? a / c : 0) }')")
}

measure "Ondrel" "$render" "$release/bundle/Ondrel/Ondrel.so" --preset "$preset"
if [ -n "${BASE_PLUGIN:-}" ]; then
    measure "Ondrel (earlier build)" "${BASE_RENDER:-$render}" "$BASE_PLUGIN" --preset "$preset"
fi
[ -f /usr/lib/vst/ZynAddSubFX.so ] && measure "ZynAddSubFX" "$render" /usr/lib/vst/ZynAddSubFX.so
[ -f /usr/lib/vst/amsynth_vst.so ] && measure "amsynth" "$render" /usr/lib/vst/amsynth_vst.so
if [ -f "$win/bundle/Ondrel/Ondrel.dll" ] && command -v wine >/dev/null; then
    measure "Ondrel (Windows DLL, wine)" "$render" "$win/bundle/Ondrel/Ondrel.dll" --preset "$preset" \
        --wine "$win/tools/render/ondrel-render-worker.exe"
fi

# LV2 builds, by URI through lilv.
lv2_installed() { command -v lv2ls >/dev/null && lv2ls | grep -qxF "$1"; }
if [ -d "$release/bundle/Ondrel.lv2" ]; then
    LV2_PATH="$(cd "$release/bundle" && pwd)" measure "Ondrel (LV2)" "$render" \
        --lv2 https://zentorial.com/plugins/ondrel --preset "$preset"
fi
zyn_lv2=http://zynaddsubfx.sourceforge.net amsynth_lv2=http://code.google.com/p/amsynth/amsynth
lv2_installed "$zyn_lv2" && measure "ZynAddSubFX (LV2)" "$render" --lv2 "$zyn_lv2"
lv2_installed "$amsynth_lv2" && measure "amsynth (LV2)" "$render" --lv2 "$amsynth_lv2"

printf '%-28s %10s %12s %16s\n' "plug-in" "RTF" "CPU s" "Ondrel's ratio"
for ((k = 0; k < ${#names[@]}; k++)); do
    ratio=$(awk -v o="${rtfs[0]}" -v r="${rtfs[$k]}" 'BEGIN { printf "%.2f", (r > 0 ? o / r : 0) }')
    printf '%-28s %10s %12s %16s\n' "${names[$k]}" "${rtfs[$k]}" "${cpus[$k]}" "$ratio"
done
