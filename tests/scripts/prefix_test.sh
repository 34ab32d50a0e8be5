#!/usr/bin/env bash
# A Wine prefix counts as ready only once every step of its boot has succeeded: with a
# stand-in Wine whose registry step fails, kelto_use_prefix must fail, say so, and leave
# the prefix to be made anew; with one that succeeds, it must mark the prefix ready and
# not boot it again. Results read as GoogleTest's, for check-tests-bite.sh.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
# The stand-in Wine logs each call; "reg" fails with FAKE_REG_STATUS.
cat >"$work/bin/wine" <<FAKE
#!/bin/bash
echo "\$1" >>"$work/calls"
[ "\$1" != reg ] || exit "\${FAKE_REG_STATUS:-0}"
FAKE
printf '#!/bin/bash\nexit 0\n' >"$work/bin/wineserver"
chmod +x "$work/bin/wine" "$work/bin/wineserver"

failures=0
# Boots the tests' prefix in a copy of the repository's build folder's place, and
# prints the outcome: its status, then whether the prefix was marked ready.
boot() {
  (
    export PATH="$work/bin:$PATH" FAKE_REG_STATUS=$1
    # shellcheck source=../../scripts/lib.sh
    . "$root/scripts/lib.sh"
    KELTO_ROOT=$work KELTO_WINE=wine KELTO_WINE_ARCH=win32
    status=0
    kelto_use_prefix tests 2>/dev/null || status=$?
    [ -f "$work/build/wineprefix-test/.kelto-ready" ] && echo "$status ready" || echo "$status not ready"
  )
}
expect() {
  local name=$1 got=$2 want=$3
  if [ "$got" = "$want" ]; then
    echo "[       OK ] Prefix.$name: $got"
  else
    echo "[  FAILED  ] Prefix.$name: $got, want $want"
    failures=$((failures + 1))
  fi
}
mkdir -p "$work/build"
expect LastStepFailingLeavesItUnready "$(boot 1)" "1 not ready"
expect MadeAnewAndMarkedReady "$(boot 0)" "0 ready"
rm -f "$work/calls"
expect ReadyOneIsNotBootedAgain "$(boot 0)$(cat "$work/calls" 2>/dev/null)" "0 ready"
echo "$((3 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
