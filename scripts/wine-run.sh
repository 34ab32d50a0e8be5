#!/usr/bin/env bash
# Runs a Windows program under Wine in the prefix for running Kelto, or with --tests in
# the tests' (CTest's launcher). run.sh and window-tests.sh set DISPLAY and KELTO_RUN.
#   wine-run.sh [--tests] PROGRAM [ARGS...]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
purpose=run
[ "${1:-}" != --tests ] || { purpose=tests; shift; }
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no DISPLAY; run scripts/run.sh or scripts/window-tests.sh, which set one" >&2
  exit 2
fi
kelto_choose_wine
kelto_use_prefix "$purpose"
[ "$purpose" = tests ] || exec "$KELTO_WINE" "$@"
# Once in a while Wine ends a test program at once, with no output and a failing exit
# code; every test program prints before it can fail, so it gets one more start.
# The output goes through a file, since a Wine service the program starts would hold a
# pipe open after it ends; tail passes it on as it comes. In build/, where a killed
# test leaves it.
output=$(mktemp "$KELTO_ROOT/build/wine-run-output.XXXXXX")
kelto_on_exit "rm -f '$output'"
for attempt in 1 2; do
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
  echo "wine-run.sh: Wine ended $1 with exit code $status and no output, so it never ran;" \
       "starting it once more" >&2
done
exit "$status"
