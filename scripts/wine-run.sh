#!/usr/bin/env bash
# Runs a Windows program of the cross build under wine, headless and quiet.
#   wine-run.sh --prefix DIR [--xvfb] PROGRAM [ARGS...]
#   wine-run.sh --prefix DIR --init      creates the prefix once
set -euo pipefail
prefix="" xvfb=0 init=0
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="$2"; shift 2 ;;
    --xvfb) xvfb=1; shift ;;
    --init) init=1; shift ;;
    *) break ;;
  esac
done
[ -n "$prefix" ] || { echo "wine-run: --prefix is required" >&2; exit 2; }
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" ONDREL_NO_DIALOGS=1
if [ ! -f "$prefix/system.reg" ] || [ "$init" = 1 ]; then
  mkdir -p "$prefix"
  [ -f "$prefix/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  [ "$init" = 1 ] && exit 0
fi
# A wine server that outlives the previous run (it lingers a few seconds)
# keeps that run's display: a program for another display would join it and
# fail to make windows. Each run starts with a server of its own.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
if [ "$xvfb" = 1 ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
