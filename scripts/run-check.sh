#!/usr/bin/env bash
# Runs run.sh on a virtual display, as test-on-debian.sh does after test.sh, and checks
# that its windows Kelto and KeltoChat come up; needs x11-utils (xwininfo) to see them.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kelto_start_display
log=$(mktemp)
"$KELTO_ROOT/scripts/run.sh" >"$log" 2>&1 &
run=$!
seen=0
for _ in $(seq 1 600); do
  tree=$(xwininfo -root -tree)
  [[ "$tree" != *'"Kelto":'* || "$tree" != *'"KeltoChat":'* ]] || { seen=1; break; }
  sleep 0.5
done
# Ends Kelto and KeltoChat, and so run.sh, whose status is then not this check's.
kelto_choose_wine
kelto_use_prefix run
wineserver -k
wait "$run" || echo "run.sh ended with status $? once its windows were closed"
if [ "$seen" -eq 0 ]; then
  echo "run.sh: the windows Kelto and KeltoChat did not both appear within 5 minutes" >&2
  cat "$log" >&2
  exit 1
fi
echo "run.sh: both windows, Kelto and KeltoChat, are on the screen"
