#!/usr/bin/env bash
# Runs a Windows program under Wine in one of the project's own prefixes (lib.sh's
# kelto_use_prefix, which boots it on first use):
#   wine-run.sh PROGRAM [ARGS...]          the prefix for running Kelto
#   wine-run.sh --tests PROGRAM [ARGS...]  the tests' prefix (with KELTO_TEST_DPI, the one
#                                          whose display has that DPI); CTest's launcher
# The display comes from DISPLAY, and how 32-bit programs run from KELTO_RUN: run.sh and
# window-tests.sh set both.
set -euo pipefail
# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
purpose=run
if [ "${1:-}" = --tests ]; then
  purpose=tests
  shift
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no DISPLAY; run scripts/run.sh or scripts/window-tests.sh, which set one" >&2
  exit 2
fi
kelto_choose_wine
kelto_use_prefix "$purpose"
[ "$purpose" = tests ] || exec "$KELTO_WINE" "$@"
# Once in a while (seen once in CI, not reproduced since) Wine ends a test program at
# once, with no output and a failing exit code: the program never ran. Every test
# program prints before it can fail, so such an end is Wine's, and the program gets
# one more start.
# The output goes through a file, not a pipe, since a Wine service that the program
# starts would hold a pipe open after the program ends; tail passes it on as it comes,
# so a test that times out still shows how far it got. The file is in build/, where a
# test killed before it can remove the file leaves it.
output=$(mktemp "$KELTO_ROOT/build/wine-run-output.XXXXXX")
kelto_on_exit "rm -f '$output'"
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
