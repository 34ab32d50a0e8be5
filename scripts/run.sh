#!/usr/bin/env bash
# Builds Kelto and runs it under Wine beside KeltoChat, the chat-client simulator, which
# the stand-in wadapi.dll talks to over DDE. Uses your DISPLAY, or a virtual one when
# there is none. Run through in-32bit.sh already (KELTO_RUN set), it runs what is built.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${KELTO_RUN:-}" ]; then
  "$root/scripts/install-deps.sh" cross wine
  "$root/scripts/build.sh"
  exec "$root/scripts/in-32bit.sh" "$0" "$@"
fi
# shellcheck source=lib.sh
. "$root/scripts/lib.sh"
if [ -z "${DISPLAY:-}" ]; then
  kelto_start_display
  echo "No DISPLAY was set: Kelto and KeltoChat run on the virtual display $DISPLAY."
fi
kelto_choose_wine
echo "Running build/$KELTO_WINE_ARCH/bin/Kelto.exe: $(kelto_build_run)."
# A new prefix takes a while to boot; booted first, KeltoChat starts in a moment.
kelto_use_prefix run
cd "$root/build/$KELTO_WINE_ARCH/bin"
"$root/scripts/wine-run.sh" KeltoChat.exe &
chat=$!
kelto_on_exit "kelto_stop $chat"
# Kelto's link needs the simulator's DDE service; give it a moment to register.
sleep 3
echo "Starting Kelto; close its window or choose File > Exit to end."
status=0
"$root/scripts/wine-run.sh" Kelto.exe || status=$?
echo "Kelto ended with status $status; closing KeltoChat."
exit "$status"
