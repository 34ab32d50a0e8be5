#!/usr/bin/env bash
# Builds Kelto and runs it under Wine beside KeltoChat, the chat-client simulator, which
# the stand-in wadapi.dll talks to over DDE. Uses your DISPLAY, or a virtual one when
# there is none.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kelto_in_32bit build "$@"
if [ -z "${DISPLAY:-}" ]; then
  kelto_start_display
  echo "No DISPLAY was set: Kelto and KeltoChat run on the virtual display $DISPLAY."
fi
kelto_choose_wine
echo "Running build/$KELTO_WINE_ARCH/bin/Kelto.exe: $(kelto_build_run)."
# A new prefix takes a while to boot; booted first, KeltoChat starts in a moment.
kelto_use_prefix run
cd "$KELTO_ROOT/build/$KELTO_WINE_ARCH/bin"
"$KELTO_WINE" KeltoChat.exe &
kelto_on_exit "kelto_stop $!"
# Kelto's link needs the simulator's DDE service; give it a moment to register.
sleep 3
echo "Starting Kelto; close its window or choose File > Exit to end."
status=0
"$KELTO_WINE" Kelto.exe || status=$?
echo "Kelto ended with status $status; closing KeltoChat."
exit "$status"
