#!/usr/bin/env bash
# Runs a command where 32-bit x86 programs run, and tells it how in KELTO_RUN:
#   native    the kernel runs them;
#   emulated  qemu-user runs them, registered with binfmt_misc in a user and mount
#             namespace of the command's own, seen by no process outside it (Linux 6.7
#             and later); KELTO_EMULATOR names the emulator, for people;
#   none      neither can be had, and Wine runs the 64-bit build.
#     in-32bit.sh [--hidden] [--chroot DIR] COMMAND [ARGS...]
# --hidden registers the emulator without telling the command, to which the kernel
# then seems to run 32-bit programs (CI tries the scripts' path for such a kernel so).
# --chroot DIR asks whether they run inside DIR, and registers DIR's own qemu-i386: a
# process inside a chroot may not make a user namespace itself.
# Scripts that run Windows programs run themselves through this first, before anything
# else: it is the one place where the namespace is entered, and a command that already
# knows KELTO_RUN runs as it is. binfmt_misc is asked before the kernel's own loader, so
# the registration would take 32-bit programs on any kernel; it is made only where the
# kernel cannot run them.
set -euo pipefail
# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

hidden=0 chroot_dir=
while :; do
  case "${1:-}" in
    --hidden) hidden=1; shift ;;
    --chroot) chroot_dir=$2; shift 2 ;;
    --inside) break ;;
    *) break ;;
  esac
done

if [ "${1:-}" = --inside ]; then
  # The namespace's first process: the registration, then the command.
  qemu=$2
  shift 2
  mount_point=$(mktemp -d)
  if ! mount -t binfmt_misc binfmt_misc "$mount_point"; then
    rmdir "$mount_point"
    echo "in-32bit.sh: this kernel cannot give a namespace its own binfmt_misc" \
         "(Linux 6.7 or later can)" >&2
    exit 3
  fi
  # The instance's entries go with its last mount: it stays mounted while the command runs.
  kelto_on_exit "umount '$mount_point' && rmdir '$mount_point'"
  # The i386 ELF header, executables and position-independent ones alike. F: the
  # emulator is opened now, so that it is found inside a chroot as well.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf ':kelto-i386:M::%s:%s:%s:F' "$magic" "$mask" "$qemu" >"$mount_point/register"
  emulator=$("$qemu" --version | sed -n '1{s/ (.*//;p}')
  if ! kelto_runs_i386 "$chroot_dir"; then
    echo "32-bit programs do not run although $emulator is registered for them in this" \
         "namespace: /usr/lib/wine/wineserver32 --version failed under it." >&2
    exit 1
  fi
  if [ "$hidden" -eq 0 ]; then
    export KELTO_RUN=emulated KELTO_EMULATOR=$emulator
  fi
  "$@"
  exit
fi

[ -z "${KELTO_RUN:-}" ] || exec "$@"
if kelto_runs_i386 "$chroot_dir"; then
  export KELTO_RUN=native
  exec "$@"
fi
qemu=${chroot_dir:+$chroot_dir/usr/bin/qemu-i386}
if [ -n "$qemu" ] || kelto_find_emulator; then
  args=()
  [ "$hidden" -eq 0 ] || args+=(--hidden)
  [ -z "$chroot_dir" ] || args+=(--chroot "$chroot_dir")
  exec unshare --user --map-root-user --mount --fork "$0" "${args[@]}" --inside \
    "${qemu:-$KELTO_QEMU}" "$@"
fi
if [ "$hidden" -eq 1 ]; then
  echo "in-32bit.sh: this kernel runs no 32-bit programs, and no qemu-i386 here can run" \
       "them in a namespace (./scripts/install-deps.sh wine installs one that can)" >&2
  exit 1
fi
export KELTO_RUN=none
exec "$@"
