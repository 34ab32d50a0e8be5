#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own 32-bit prefix. The display
# comes from DISPLAY (scripts/test.sh and scripts/run.sh start Xvfb when needed).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing here needs them, and they would ask.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no DISPLAY; run scripts/test.sh or scripts/run.sh, which start one" >&2
  exit 2
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  wineserver --wait
fi
exec wine "$@"
