#!/usr/bin/env bash
# The emulated path's set-up, on a kernel imitated to run no 32-bit programs: with a
# stand-in qemu-i386 that works, fails, or is too old, a script that runs itself through
# in-32bit.sh (as window-tests.sh and run.sh do) must run emulated in exactly one
# namespace, stop saying why, or fall back to the 64-bit build.
# Needs user namespaces with a binfmt_misc of their own (Linux 6.7 and later) and Wine;
# says so and passes where a chroot or the kernel allows no namespace.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
launcher="$root/scripts/without-ia32.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset KELTO_WINE_ARCH KELTO_RUN KELTO_EMULATOR

if "$launcher" bash -c ". '$root/scripts/lib.sh' && kelto_runs_i386 ''"; then
  echo "skipped: 32-bit programs run here even without 32-bit system calls (an emulator is registered)"
  exit 0
fi
# Whether a user namespace may mount a binfmt_misc of its own, as in-32bit.sh does.
# shellcheck disable=SC2016 # the namespace's shell expands them, not this one
if ! unshare --user --map-root-user --mount sh -c \
       'd=$(mktemp -d) && mount -t binfmt_misc binfmt_misc "$d" && umount "$d"; r=$?; rmdir "$d"; exit $r' \
       2>/dev/null; then
  echo "skipped: no user namespace with a binfmt_misc of its own can be made here (a chroot, or Linux before 6.7)"
  exit 0
fi

# The stand-in emulator: answers --version, and ends every program it is given with
# FAKE_QEMU_STATUS, as qemu-i386 would with the program's own status. Each --version is
# logged: the namespace script asks once, and so does each namespace's making.
mkdir "$work/bin"
cat >"$work/bin/qemu-i386" <<FAKE
#!/bin/bash
if [ "\$1" = --version ]; then
  echo --version >>"$work/calls"
  echo "qemu-i386 version \$FAKE_QEMU_VERSION (stand-in)"
  exit 0
fi
exit \$FAKE_QEMU_STATUS
FAKE
chmod +x "$work/bin/qemu-i386"
cat >"$work/probe.sh" <<PROBE
#!/bin/bash
set -euo pipefail
[ -n "\${KELTO_RUN:-}" ] || exec "$root/scripts/in-32bit.sh" "\$0" "\$@"
. "$root/scripts/lib.sh"
kelto_choose_wine
echo "runs: \$(kelto_build_run)"
PROBE
chmod +x "$work/probe.sh"

failures=0
# The case's name; the version, the status the emulated programs end with, the probe's
# status, what it says, and how often the emulator is asked its version (2: one
# namespace made, none nested). Results read as GoogleTest's, for check-tests-bite.sh.
while IFS='|' read -r name version status want_status want_text want_calls; do
  rm -f "$work/calls"
  set +e
  output=$(FAKE_QEMU_VERSION=$version FAKE_QEMU_STATUS=$status PATH="$work/bin:$PATH" \
             timeout 60 "$launcher" "$work/probe.sh" 2>&1)
  got_status=$?
  set -e
  got_calls=$(wc -l <"$work/calls" 2>/dev/null || echo 0)
  if [ "$got_status" -ne "$want_status" ] || [[ "$output" != *"$want_text"* ]] ||
     [ "$got_calls" -ne "$want_calls" ]; then
    echo "[  FAILED  ] Emulation.$name: qemu-i386 $version whose programs end with $status:" \
         "status $got_status (want $want_status), $got_calls version calls (want $want_calls), output:"
    echo "    ${output//$'\n'/$'\n'    }"
    echo "  want it to hold: $want_text"
    failures=$((failures + 1))
  else
    echo "[       OK ] Emulation.$name: $want_text"
  fi
done <<'CASES'
RunsEmulatedInOneNamespace|10.0.0|0|0|runs: 32-bit, as shipped, emulated by qemu-i386 version 10.0.0|2
StopsSayingWhyInOneNamespace|10.0.0|1|1|32-bit programs do not run although qemu-i386 version 10.0.0 is registered|2
TooOldFallsBackToThe64BitBuild|9.2.0|0|0|runs: 64-bit, not as shipped|1
CASES
echo "$((3 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
