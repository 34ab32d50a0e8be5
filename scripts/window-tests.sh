#!/usr/bin/env bash
# The window tests (docs/testing.md): window_tests.exe drives the real Kelto.exe with the
# stand-in library under Wine, on a virtual display of its own. Run after build.sh;
# arguments go to CTest. Which build ran, and how, goes to build/window-tests.run.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kelto_in_32bit built "$@"
kelto_test_session
bin="$KELTO_ROOT/build/$KELTO_WINE_ARCH/bin"
echo "Window tests drive: build/$KELTO_WINE_ARCH/bin/Kelto.exe ($(kelto_build_run)), $("$KELTO_WINE" --version)"
printf 'build=%s\nrun=%s\n' "$KELTO_WINE_ARCH" "$KELTO_RUN" >"$KELTO_ROOT/build/window-tests.run"
tested="$KELTO_ROOT/build/$KELTO_WINE_ARCH/tested-files.sha256"
rm -f "$tested"
ctest --preset "$KELTO_WINE_ARCH" "$@"
# After a whole run only: what the tests ran, for release.sh to hold the zips to, and the
# README's picture of the window, as StartUp took it.
if [ $# -eq 0 ]; then
  (cd "$bin" && sha256sum Kelto.exe KeltoChat.exe wadapi.dll) >"$tested"
  cp "$bin/kelto.png" "$KELTO_ROOT/docs/kelto.png"
fi
