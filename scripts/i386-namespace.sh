#!/usr/bin/env bash
# Runs a command where 32-bit x86 programs run through qemu-user: registers
#   i386-namespace.sh QEMU COMMAND [ARGS...]
# QEMU (qemu-i386) with binfmt_misc for 32-bit x86 ELF programs, then runs COMMAND.
# Meant to run as the first process of a user and mount namespace of its own
# (wine-env.sh's kelto_with_i386_emulation starts it so): binfmt_misc mounted there is
# an instance of that namespace's own (Linux 6.7 and later), so the registration is
# seen by no process outside it. The instance stays mounted while COMMAND runs: its
# entries go with its last mount. Exports KELTO_I386_EMULATION, the emulator's name
# and version, for the scripts and tests to say so.
set -euo pipefail
qemu=$1
shift
# A folder of the namespace's own mount: /proc/sys/fs/binfmt_misc may be missing in a
# chroot, and mounting there would not change what the registration does.
mount_point=$(mktemp -d)
if ! mount -t binfmt_misc binfmt_misc "$mount_point" 2>/dev/null; then
  rmdir "$mount_point"
  echo "i386-namespace.sh: this kernel cannot give a namespace its own binfmt_misc" \
       "(Linux 6.7 or later can)" >&2
  exit 3
fi
trap 'umount "$mount_point" && rmdir "$mount_point"' EXIT
# The i386 ELF header, executables and position-independent ones alike. F: the
# emulator is opened now, so that it is found inside a chroot as well.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf ':kelto-i386:M::%s:%s:%s:F' "$magic" "$mask" "$qemu" >"$mount_point/register"
KELTO_I386_EMULATION=$("$qemu" --version | sed -n '1{s/ (.*//;p}')
export KELTO_I386_EMULATION
"$@"
