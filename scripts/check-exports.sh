#!/usr/bin/env bash
# Checks that a plug-in module exports its two entry points and nothing else
# (the linker's own section markers aside).
#   check-exports.sh Ondrel.so | Ondrel.dll
set -euo pipefail
module="$1"
case "$module" in
  *.dll) names=$(x86_64-w64-mingw32-objdump -p "$module" | sed -n '/Ordinal\/Name Pointer/,/^$/p' | awk '/^[[:space:]]*\[ *[0-9]+\]/ {print $3}') ;;
  *) names=$(nm -D --defined-only "$module" | awk '{print $3}' | grep -vxE '__bss_start|_edata|_end|_init|_fini') ;;
esac
names=$(echo $names)
echo "exports: $names"
[ "$names" = "VSTPluginMain main" ] || [ "$names" = "main VSTPluginMain" ]
