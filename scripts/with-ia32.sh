#!/usr/bin/env bash
# Runs a command as on a kernel that runs 32-bit x86 programs, so that the scripts' own
# path for such a kernel (Wine's 32-bit server, no namespace, no emulator of theirs) can
# be tried on any machine, as without-ia32.sh tries the other:
#   with-ia32.sh ./scripts/window-tests.sh
# Where the kernel runs them, it runs the command as it is. Where it does not, qemu-i386
# is registered for them in a user and mount namespace of the command's own, as
# i386-namespace.sh does for the emulated path, but without telling the scripts: to them
# the kernel runs 32-bit programs. Needs Wine and qemu-user (install-deps.sh wine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
if kelto_runs_i386; then
  exec "$@"
fi
kelto_find_i386_emulator || {
  echo "with-ia32.sh: this kernel runs no 32-bit programs, and no qemu-i386 here can run" \
       "them in a namespace (./scripts/install-deps.sh wine installs one that can)" >&2
  exit 1
}
exec unshare --user --map-root-user --mount --fork \
  "$root/scripts/i386-namespace.sh" "$KELTO_QEMU" env -u KELTO_I386_EMULATION "$@"
