#!/bin/bash
# Renders every factory preset through two builds of the plug-in and compares
# the results: identical files, or the largest difference in dB below the
# reference's peak.
#   bench/scripts/compare-renders.sh REF_RENDER REF_PLUGIN NEW_RENDER NEW_PLUGIN MIDIFILE [render options]
# REF_RENDER/NEW_RENDER are ondrel-render programs, *_PLUGIN the modules
# (Ondrel.so, each with its Presets folder beside it). Extra options (e.g.
# --rate 48000 --block 333) are passed to both renders.
# Exit status 0 when every preset differs by less than -90 dB of its peak.
set -u
refRender=$1 refPlugin=$2 newRender=$3 newPlugin=$4 midi=$5
shift 5
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
presets=$("$newRender" "$newPlugin" --list-presets | sed -n 's/^  Factory\///p')
worst=-1000
status=0
while IFS= read -r p; do
    [ -n "$p" ] || continue
    "$refRender" "$refPlugin" "$midi" -o "$out/ref.wav" --preset "$p" --quiet "$@" || { echo "$p: reference render failed"; status=1; continue; }
    "$newRender" "$newPlugin" "$midi" -o "$out/new.wav" --preset "$p" --quiet "$@" || { echo "$p: render failed"; status=1; continue; }
    # The samples are compared (the header's PEAK chunk holds the time of the render).
    db=$(python3 - "$out/ref.wav" "$out/new.wav" <<'PY'
import math, struct, sys
def chunk(path):
    data = open(path, 'rb').read()
    at = 12
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], struct.unpack('<I', data[at + 4:at + 8])[0]
        if tag == b'data':
            return data[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    raise SystemExit('no data chunk in ' + path)
ca, cb = chunk(sys.argv[1]), chunk(sys.argv[2])
if ca == cb:
    print('identical'); sys.exit()
a = struct.unpack('<%df' % (len(ca) // 4), ca)
b = struct.unpack('<%df' % (len(cb) // 4), cb)
if len(a) != len(b):
    print('length'); sys.exit()
peak = max(abs(x) for x in a) or 1e-30
diff = max(abs(x - y) for x, y in zip(a, b))
print('%.1f' % (20 * math.log10(diff / peak)) if diff > 0 else '-inf')
PY
)
    if [ "$db" = identical ]; then
        echo "$p: identical"
        continue
    fi
    echo "$p: differs, largest difference $db dB of the peak"
    if [ "$db" = length ] || awk -v d="$db" 'BEGIN { exit !(d >= -90) }'; then status=1; fi
done <<<"$presets"
exit $status
