#!/usr/bin/env bash
# Runs a Windows program under Wine in one of the project's own prefixes.
#   wine-run.sh PROGRAM [ARGS...]          the prefix build/wineprefix, for running Kelto
#   wine-run.sh --tests PROGRAM [ARGS...]  the prefix build/wineprefix-test, whose windows
#                                          Wine leaves unmanaged: with no window manager on
#                                          the virtual display, a managed window takes two
#                                          seconds to close
# A 64-bit prefix (wine-env.sh says when) has "64" after "wineprefix" in its name.
# With KELTO_TEST_DPI set, --tests uses a prefix of its own whose display has that many
# dots per inch: Wine 10 reads the display's DPI once a session, so a test cannot
# change it for the programs it starts.
# The display comes from DISPLAY (scripts/test.sh and scripts/run.sh provide one).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
kelto_choose_wine
suffix=$KELTO_PREFIX_SUFFIX
unmanaged=0
if [ "${1:-}" = "--tests" ]; then
  unmanaged=1
  shift
  export WINEPREFIX="$root/build/wineprefix$suffix-test${KELTO_TEST_DPI:+-${KELTO_TEST_DPI}dpi}"
fi
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix$suffix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing here needs them, and they would ask.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no DISPLAY; run scripts/test.sh or scripts/run.sh, which provide one" >&2
  exit 2
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$KELTO_WINE" wineboot --init >/dev/null 2>&1
  if [ "$unmanaged" -eq 1 ]; then
    "$KELTO_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      >/dev/null 2>&1
    if [ -n "${KELTO_TEST_DPI:-}" ]; then
      "$KELTO_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$KELTO_TEST_DPI" /f >/dev/null 2>&1
    fi
  fi
  wineserver --wait
fi
if [ "$unmanaged" -eq 0 ]; then
  exec "$KELTO_WINE" "$@"
fi
# Once in a while (seen once in CI, not reproduced since) Wine ends a test program at
# once, with no output and a failing exit code: the program never ran. Every test
# program prints before it can fail, so such an end is Wine's, and the program gets
# one more start.
# The output goes through a file, not a pipe, since a Wine service that the program
# starts would hold a pipe open after the program ends; tail passes it on as it comes,
# so a test that times out still shows how far it got. The file is in build/, where a
# test killed before it can remove the file leaves it.
output=$(mktemp "$root/build/wine-run-output.XXXXXX")
trap 'rm -f "$output"' EXIT
for attempt in 1 2; do
  started=$(date +%s%N)
  : >"$output"
  "$KELTO_WINE" "$@" >"$output" 2>&1 &
  program=$!
  tail -n +1 -s 0.1 --pid="$program" -f "$output" &
  status=0
  wait "$program" || status=$?
  wait
  if [ "$status" -eq 0 ] || [ -s "$output" ] || [ "$attempt" -eq 2 ]; then
    break
  fi
  echo "wine-run.sh: Wine ended $1 after $((($(date +%s%N) - started) / 1000000)) ms with" \
       "exit code $status and no output, so it never ran; starting it once more" >&2
done
exit "$status"
