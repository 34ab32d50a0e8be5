#!/usr/bin/env bash
# Builds Kelto and runs it under Wine beside KeltoChat, the chat-client simulator,
# which the stand-in wadapi.dll talks to over DDE. Uses your DISPLAY, or a virtual
# one when there is none.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" cross wine
"$root/scripts/build.sh"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
kelto_with_i386_emulation "$root/scripts/run.sh" "$@"
if [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=virtual-display.sh
  . "$root/scripts/virtual-display.sh"
  start_virtual_display
  echo "No DISPLAY was set: Kelto and KeltoChat run on the virtual display $DISPLAY."
fi
kelto_choose_wine
kelto_explain_wine
cd "$root/build/$KELTO_WINE_ARCH/bin"
# A new prefix takes a while to boot; booted first, KeltoChat starts in a moment.
"$root/scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
"$root/scripts/wine-run.sh" KeltoChat.exe &
chat=$!
# Kelto's link needs the simulator's DDE service; give it a moment to register.
sleep 3
echo "Starting Kelto; close its window or choose File > Exit to end."
status=0
"$root/scripts/wine-run.sh" Kelto.exe || status=$?
echo "Kelto ended with status $status; closing KeltoChat."
kill "$chat" 2>/dev/null || true
wait "$chat" 2>/dev/null || true
exit "$status"
