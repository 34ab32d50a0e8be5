#!/usr/bin/env bash
# Builds Kelto and runs it under Wine with the stand-in wadapi.dll, which plays a
# friendly chat client. Uses your DISPLAY, or a virtual one when there is none.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" cross wine
"$root/scripts/build.sh"
if [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=virtual-display.sh
  . "$root/scripts/virtual-display.sh"
  start_virtual_display
  echo "No DISPLAY was set: Kelto runs on the virtual display $DISPLAY."
fi
cd "$root/build/win32/bin"
echo "Starting Kelto; close its window or choose File > Exit to end."
status=0
"$root/scripts/wine-run.sh" Kelto.exe || status=$?
echo "Kelto ended with status $status."
exit "$status"
