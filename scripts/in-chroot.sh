#!/usr/bin/env bash
# Runs a command in the chroot DIR's clone of this repository, as a new root login there
# would, told how 32-bit programs run (in-32bit.sh --chroot DIR runs this):
#   in-chroot.sh DIR COMMAND [ARGS...]
set -euo pipefail
dir=$1
shift
exec chroot "$dir" /usr/bin/env -i -C /root/kelto HOME=/root TERM=dumb LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin CI="${CI:-}" \
  ${KELTO_RUN:+KELTO_RUN="$KELTO_RUN"} ${KELTO_EMULATOR:+KELTO_EMULATOR="$KELTO_EMULATOR"} "$@"
