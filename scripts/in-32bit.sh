#!/usr/bin/env bash
# Runs a command where 32-bit x86 programs run, and tells it how in KELTO_RUN: native,
# emulated (by KELTO_EMULATOR, in a user and mount namespace of the command's own) or none.
# The one place where that namespace is entered (docs/testing.md).
#   in-32bit.sh [--hidden] [--chroot DIR] COMMAND [ARGS...]
# --hidden: emulated, but the command is not told. --chroot DIR: in DIR, with its own
# qemu-i386, since a process inside a chroot may not make a user namespace.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

options=() hidden=0 chroot_dir='' qemu='' inside=0
while :; do
  case "${1:-}" in
    --hidden) options+=("$1") hidden=1; shift ;;
    --chroot) options+=("$1" "$2") chroot_dir=$2 qemu=$2/usr/bin/qemu-i386; shift 2 ;;
    --inside) inside=1 qemu=$2; shift 2 ;;
    *) break ;;
  esac
done

if [ "$inside" -eq 1 ]; then
  # The namespace's first process: the registration, then the command.
  mount_point=$(mktemp -d)
  if ! mount -t binfmt_misc binfmt_misc "$mount_point"; then
    rmdir "$mount_point"
    echo "in-32bit.sh: this kernel cannot give a namespace its own binfmt_misc (Linux 6.7 or later can)" >&2
    exit 3
  fi
  # The registration lasts as long as this mount.
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
  [ "$hidden" -eq 1 ] || export KELTO_RUN=emulated KELTO_EMULATOR=$emulator
  "$@"
  exit
fi

[ -z "${KELTO_RUN:-}" ] || exec "$@"
if kelto_runs_i386 "$chroot_dir"; then
  export KELTO_RUN=native
  exec "$@"
fi
# binfmt_misc comes before the kernel's own loader, so the registration is made only
# where the kernel cannot run 32-bit programs.
if [ -z "$qemu" ] && [ "$(kelto_qemu_major)" -ge 10 ] && unshare --user --map-root-user --mount true 2>/dev/null
then
  qemu=$(command -v qemu-i386)
fi
if [ -n "$qemu" ]; then
  exec unshare --user --map-root-user --mount --fork "$0" "${options[@]}" --inside "$qemu" "$@"
fi
if [ "$hidden" -eq 1 ]; then
  echo "in-32bit.sh: this kernel runs no 32-bit programs, and no qemu-i386 here can run" \
       "them in a namespace (./scripts/install-deps.sh wine installs one that can)" >&2
  exit 1
fi
export KELTO_RUN=none
exec "$@"
