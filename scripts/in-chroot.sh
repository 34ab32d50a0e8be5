#!/usr/bin/env bash
# Runs a command in the Debian chroot DIR, in its clone of this repository, with the
# environment a new root login there would have, and how 32-bit programs run (KELTO_RUN,
# set where in-32bit.sh --chroot DIR runs this):
#   in-chroot.sh DIR COMMAND [ARGS...]
set -euo pipefail
dir=$1
shift
exec chroot "$dir" /usr/bin/env -i -C /root/kelto HOME=/root TERM=dumb LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin CI="${CI:-}" \
  ${KELTO_RUN:+KELTO_RUN="$KELTO_RUN"} ${KELTO_EMULATOR:+KELTO_EMULATOR="$KELTO_EMULATOR"} "$@"
