#!/usr/bin/env bash
# The window tests: window_tests.exe drives the real Kelto.exe with the stand-in library
# under Wine, on a virtual display of its own. They drive the 32-bit build that ships,
# emulated by qemu-user where the kernel runs no 32-bit programs (in-32bit.sh). Run after
# build.sh; arguments go to CTest. Which build ran, and how, is written as data to
# build/window-tests.run ("build=win32", "run=native"), for CI to check.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
[ -n "${KELTO_RUN:-}" ] || exec "$root/scripts/in-32bit.sh" "$0" "$@"
# shellcheck source=lib.sh
. "$root/scripts/lib.sh"
kelto_choose_wine
kelto_start_display
kelto_use_prefix tests
echo "Window tests drive: build/$KELTO_WINE_ARCH/bin/Kelto.exe ($(kelto_build_run))," \
     "$("$KELTO_WINE" --version)"
printf 'build=%s\nrun=%s\n' "$KELTO_WINE_ARCH" "$KELTO_RUN" >"$root/build/window-tests.run"
# One Wine server for all the tests, ended with the script. A server left by a run that
# was killed may still hold the prefix; where there is none, -k has nothing to end.
wineserver -k 2>/dev/null || true
wineserver -p
kelto_on_exit 'wineserver -k'
# The session's first program starts Wine's own services; let that be one whose output
# goes nowhere, so that none of them holds on to a test's output.
"$KELTO_WINE" cmd /c exit >/dev/null 2>&1
tested="$root/build/$KELTO_WINE_ARCH/tested-files.sha256"
rm -f "$tested"
ctest --preset "$KELTO_WINE_ARCH" "$@"
# After a whole run only: what the tests ran, for release.sh to hold the zips to, and
# the README's picture of the window, as StartUp took it.
if [ $# -eq 0 ]; then
  (cd "$root/build/$KELTO_WINE_ARCH/bin" && sha256sum Kelto.exe KeltoChat.exe wadapi.dll) >"$tested"
  mkdir -p "$root/docs"
  cp "$root/build/$KELTO_WINE_ARCH/bin/kelto.png" "$root/docs/kelto.png"
fi
