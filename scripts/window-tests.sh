#!/usr/bin/env bash
# The window tests: window_tests.exe drives the real Kelto.exe with the stand-in
# library under Wine, on a virtual display of its own. They drive the 32-bit build
# that ships, emulated by qemu-user where the kernel runs no 32-bit programs (see
# wine-env.sh); test.sh runs this after building. Arguments go to CTest.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
kelto_with_i386_emulation "$root/scripts/window-tests.sh" "$@"
kelto_start_test_session
echo "Window tests drive: build/$KELTO_WINE_ARCH/bin/Kelto.exe ($KELTO_BUILD_RUN), $(wine --version)"
# Then one Wine server for all window tests.
wineserver -k 2>/dev/null || true
wineserver -p
# The session's first program starts Wine's own services; let that be one whose
# output goes nowhere, so that none of them holds on to a test's output.
"$root/scripts/wine-run.sh" --tests cmd /c exit >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true; kill "$KELTO_XVFB_PID" 2>/dev/null || true' EXIT
rm -f "$root/build/$KELTO_WINE_ARCH/tested-files.sha256"
ctest --preset "$KELTO_WINE_ARCH" "$@"
# What the tests ran, for release.sh to hold the zips to; after a whole run only.
if [ $# -eq 0 ]; then
  (cd "$root/build/$KELTO_WINE_ARCH/bin" && sha256sum Kelto.exe KeltoChat.exe wadapi.dll) \
    >"$root/build/$KELTO_WINE_ARCH/tested-files.sha256"
fi
