#!/usr/bin/env bash
# Checks that a Windows plug-in DLL exports its entry points and depends on
# no runtime DLL that would have to ship beside it.
set -euo pipefail
dll="$1"
dump=$(x86_64-w64-mingw32-objdump -p "$dll")
fail=0
for sym in VSTPluginMain main; do
  if ! grep -qE "^\s*\[[ 0-9]+\] $sym\$" <<<"$dump"; then echo "missing export: $sym"; fail=1; fi
done
deps=$(grep -i 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}')
echo "imports: $(echo $deps)"
for d in $deps; do
  case "$d" in
    libgcc*|libstdc++*|libwinpthread*|libyaml*|*mingw*) echo "depends on a runtime DLL: $d"; fail=1 ;;
  esac
done
exit $fail
