#!/usr/bin/env bash
# The LV2 bundle as the LV2 tools read it: lv2ls lists the plug-in, lv2info
# reads all its ports and its UI without a complaint, serdi parses every
# Turtle file, and sord_validate finds nothing against the LV2 schemas.
set -euo pipefail
bundle=$1
uri=https://zentorial.com/plugins/ondrel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/lv2" && ln -s "$bundle" "$work/lv2/Ondrel.lv2"
export LV2_PATH=$work/lv2
path=$work

fail() { echo "FAIL: $*"; exit 1; }

[ "$(lv2ls 2>"$path/err")" = "$uri" ] || fail "lv2ls does not list $uri only"
[ ! -s "$path/err" ] || fail "lv2ls complains: $(cat "$path/err")"
lv2info "$uri" >"$path/info" 2>"$path/err" || fail "lv2info fails"
[ ! -s "$path/err" ] || fail "lv2info complains: $(cat "$path/err")"
ports=$(grep -c '^	Port [0-9]*:' "$path/info")
[ "$ports" = 46 ] || fail "lv2info reads $ports ports, not 46"
grep -q 'http://lv2plug.in/ns/extensions/ui#X11UI' "$path/info" || fail "no X11 UI"
grep -q 'Extension Data: *http://lv2plug.in/ns/ext/state#interface' "$path/info" || fail "no state interface"

for f in "$bundle"/*.ttl; do
  serdi -q -i turtle -o ntriples "file://$f" >/dev/null || fail "serdi cannot parse $f"
done
if command -v sord_validate >/dev/null; then
  schemas=()
  for s in atom buf-size core data-access dynmanifest event instance-access log midi morph options parameters \
           patch port-groups port-props presets resize-port state time ui units uri-map urid worker schemas; do
    [ -d "/usr/lib/lv2/$s.lv2" ] && schemas+=("/usr/lib/lv2/$s.lv2"/*.ttl)
  done
  sord_validate "${schemas[@]}" "$bundle"/*.ttl >"$path/validate" 2>&1 || { cat "$path/validate"; fail "sord_validate"; }
  grep -q '^Found 0 errors' "$path/validate" || { cat "$path/validate"; fail "sord_validate finds errors"; }
fi
echo "lv2ls, lv2info ($ports ports), serdi and sord_validate agree"
