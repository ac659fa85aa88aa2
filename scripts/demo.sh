#!/usr/bin/env bash
# The demo: renders the demo song through the Linux plug-in and through the
# Windows DLL under wine, prints both descriptors and the closing lines, and
# compares the two renders.
#   demo.sh LINUX_BUILD WINDOWS_BUILD        (make demo: build/release build/win)
# Writes out/demo.wav and out/demo-win.wav in the repository.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
linux=$(cd "${1:-$top/build/release}" && pwd)
windows=$(cd "${2:-$top/build/win}" && pwd)
out="${ONDREL_DEMO_OUT:-$top/out}"

render="$linux/tools/render/ondrel-render"
compare="$linux/tools/render/ondrel-wavcompare"
song="$linux/demo/demo.mid"
module="$linux/bundle/Ondrel/Ondrel.so"
dll="$windows/bundle/Ondrel/Ondrel.dll"
worker="$windows/tools/render/ondrel-render-worker.exe"

for f in "$render" "$compare" "$song" "$module" "$dll" "$worker"; do
  [ -e "$f" ] || { echo "demo: $f is missing (make demo builds it)" >&2; exit 1; }
done
mkdir -p "$out"

# Windows programs run quietly in the Windows build's own prefix (as scripts/wine-run.sh does).
export WINEPREFIX="$windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" ONDREL_NO_DIALOGS=1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== creating the wine prefix $WINEPREFIX (once, about 10 s)"
  "$top/scripts/wine-run.sh" --prefix "$WINEPREFIX" --init
fi

# A factory preset of the Linux bundle's library: the first of the keys (the
# song is chords under a melody), else of the pads, else of any category.
preset=()
factory="$linux/bundle/Ondrel/Presets/Factory"
first=""
for category in Keys Pad .; do
  [ -d "$factory/$category" ] || continue
  first=$(cd "$factory" && find "./$category" -name '*.yaml' | LC_ALL=C sort | head -n1)
  [ -n "$first" ] && break
done
first=${first#./}
if [ -n "$first" ]; then
  name=${first#./}
  name=${name%.yaml}
  preset=(--preset "$name")
  echo "== preset: Factory/$name"
else
  echo "== no factory presets in $factory yet: rendering the default program"
fi

echo
echo "== Linux plug-in: $module"
"$render" "$module" --info
echo
echo "== Windows plug-in under wine: $dll"
"$render" "$dll" --info --wine "$worker"

echo
echo "== rendering $song"
"$render" "$module" "$song" -o "$out/demo.wav" "${preset[@]}"
"$render" "$dll" "$song" -o "$out/demo-win.wav" "${preset[@]}" --wine "$worker"
"$compare" "$out/demo.wav" "$out/demo-win.wav"

# The editor's picture (out/editor.png through --screenshot) joins here once
# the editor can draw headless.
