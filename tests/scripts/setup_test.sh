#!/usr/bin/env bash
# The scripts' set-up, with stand-ins for Wine and qemu-i386; results read as GoogleTest's.
#   Prefix     ready only once every step of its boot has succeeded.
#   Emulation  on a kernel imitated to run no 32-bit programs, a script runs emulated in
#              one namespace, stops saying why, or falls back to the 64-bit build.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset KELTO_WINE_ARCH KELTO_RUN KELTO_EMULATOR
mkdir "$work/bin" "$work/build"
fake_path="$work/bin:$PATH"
passed=0 failed=0
expect() {  # NAME GOT WANT
  if [ "$2" = "$3" ]; then
    echo "[       OK ] $1: $2"
    passed=$((passed + 1))
  else
    echo "[  FAILED  ] $1: got ${2//$'\n'/$'\n'    }"$'\n'"    want $3"
    failed=$((failed + 1))
  fi
}

# Stand-ins that log each call to $work/calls: Wine, whose "reg" ends with
# FAKE_REG_STATUS, and qemu-i386, which answers --version with FAKE_QEMU_VERSION and
# ends every program it is given with FAKE_QEMU_STATUS, as if the program had.
cat >"$work/bin/wine" <<FAKE
#!/bin/bash
echo "\$1" >>"$work/calls"
[ "\$1" != reg ] || exit "\${FAKE_REG_STATUS:-0}"
FAKE
printf '#!/bin/bash\nexit 0\n' >"$work/bin/wineserver"
cat >"$work/bin/qemu-i386" <<FAKE
#!/bin/bash
[ "\$1" = --version ] || exit \$FAKE_QEMU_STATUS
echo --version >>"$work/calls"
echo "qemu-i386 version \$FAKE_QEMU_VERSION (stand-in)"
FAKE
chmod +x "$work/bin/"*

# Boots the tests' prefix under $work/build with the stand-in Wine; prints its status,
# whether the prefix was marked ready, and the calls to Wine.
boot() {
  (
    export PATH=$fake_path FAKE_REG_STATUS=$1
    # shellcheck source=../../scripts/lib.sh
    . "$root/scripts/lib.sh"
    KELTO_ROOT=$work KELTO_WINE=wine KELTO_WINE_ARCH=win32
    status=0
    kelto_use_prefix tests 2>/dev/null || status=$?
    ready="not ready"
    [ ! -f "$work/build/wineprefix-test/.kelto-ready" ] || ready=ready
    echo "$status, $ready, Wine ran: $(paste -sd' ' "$work/calls" 2>/dev/null)"
    rm -f "$work/calls"
  )
}
expect Prefix.LastStepFailingLeavesItUnready "$(boot 1)" "1, not ready, Wine ran: wineboot reg"
expect Prefix.MadeAnewAndMarkedReady "$(boot 0)" "0, ready, Wine ran: wineboot reg"
expect Prefix.ReadyOneIsNotBootedAgain "$(boot 0)" "0, ready, Wine ran: "

launcher="$root/scripts/without-ia32.sh"
# shellcheck disable=SC2016 # the namespace's shell expands them, not this one
if "$launcher" bash -c ". '$root/scripts/lib.sh' && kelto_runs_i386 ''"; then
  echo "Emulation skipped: 32-bit programs run here even without 32-bit system calls (an emulator is registered)"
elif ! unshare --user --map-root-user --mount sh -c \
       'd=$(mktemp -d) && mount -t binfmt_misc binfmt_misc "$d" && umount "$d"; r=$?; rmdir "$d"; exit $r' \
       2>/dev/null; then
  echo "Emulation skipped: no user namespace with a binfmt_misc of its own can be made here"
else
  cat >"$work/probe.sh" <<PROBE
#!/bin/bash
set -euo pipefail
. "$root/scripts/lib.sh"
kelto_in_32bit built "\$@"
kelto_choose_wine
echo "runs: \$(kelto_build_run)"
PROBE
  chmod +x "$work/probe.sh"
  # The case; qemu-i386's version, the status its programs end with; then what the probe
  # should end with, say, and how often the emulator is asked its version (2: one
  # namespace made, none nested).
  while IFS='|' read -r name version status want_status want_text want_calls; do
    output=$(FAKE_QEMU_VERSION=$version FAKE_QEMU_STATUS=$status PATH=$fake_path \
               timeout 60 "$launcher" "$work/probe.sh" 2>&1) && got_status=0 || got_status=$?
    [[ "$output" != *"$want_text"* ]] || output=$want_text
    expect "Emulation.$name" "$got_status, $(wc -l <"$work/calls") version calls, saying: $output" \
           "$want_status, $want_calls version calls, saying: $want_text"
    rm -f "$work/calls"
  done <<'CASES'
RunsEmulatedInOneNamespace|10.0.0|0|0|runs: 32-bit, as shipped, emulated by qemu-i386 version 10.0.0|2
StopsSayingWhyInOneNamespace|10.0.0|1|1|32-bit programs do not run although qemu-i386 version 10.0.0 is registered|2
TooOldFallsBackToThe64BitBuild|9.2.0|0|0|runs: 64-bit, not as shipped|1
CASES
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
