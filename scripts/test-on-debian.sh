#!/usr/bin/env bash
# Tries the README's commands on a fresh Debian in a chroot, as a new user would: a clean
# clone, install-deps.sh, test.sh, run.sh (docs/testing.md). Needs root.
#   test-on-debian.sh 12|13 [--fresh]    --fresh: a new chroot, not the one kept
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
case "${1:-}" in
  12) codename=bookworm ;;
  13) codename=trixie ;;
  *) echo "usage: test-on-debian.sh 12|13 [--fresh]" >&2; exit 2 ;;
esac
[ "$(id -u)" -eq 0 ] || { echo "test-on-debian.sh: needs root (debootstrap, chroot)" >&2; exit 2; }
# The chroot's mounts, and every process started in it, belong to a mount and a PID
# namespace of the run's own (in which it is process 1), and end with it.
[ $$ -eq 1 ] || exec unshare --mount --pid --fork --kill-child --mount-proc "$0" "$@"
cache=${KELTO_DEBIAN_CACHE:-/var/cache/kelto-debian}
chroot_dir="$cache/$codename"
mkdir -p "$cache"
scripts="$KELTO_ROOT/scripts"
in_chroot() { "$scripts/in-chroot.sh" "$chroot_dir" "$@"; }
# Where the kernel runs no 32-bit programs, the chroot's own qemu-i386 (installed by
# install-deps.sh there) runs them, in a namespace entered before the chroot.
in_chroot_32bit() { "$scripts/in-32bit.sh" --chroot "$chroot_dir" "$scripts/in-chroot.sh" "$chroot_dir" "$@"; }

command -v debootstrap >/dev/null ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
if [ "${2:-}" = --fresh ] || [ ! -f "$chroot_dir/.kelto-bootstrapped" ]; then
  kelto_step "Debian $1: debootstrap into $chroot_dir"
  rm -rf "$chroot_dir"
  debootstrap --variant=minbase "$codename" "$chroot_dir" "$(kelto_debian_mirror)" \
    >"$cache/$codename-debootstrap.log" 2>&1 || { tail -n 20 "$cache/$codename-debootstrap.log" >&2; exit 1; }
  touch "$chroot_dir/.kelto-bootstrapped"
fi

for fs in proc sys dev; do
  mount --rbind "/$fs" "$chroot_dir/$fs"
done
cp -L /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
# A clean clone: what is committed, nothing from this working tree's build. A minbase
# system has no git, and the README's commands need nothing else beforehand.
rm -rf "$chroot_dir/root/kelto"
git clone --quiet --no-local "$KELTO_ROOT" "$chroot_dir/root/kelto"

kelto_step "Debian $1: ./scripts/install-deps.sh (and x11-utils, for run-check.sh to see windows)"
in_chroot ./scripts/install-deps.sh
in_chroot env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends x11-utils >/dev/null
kelto_step "Debian $1: ./scripts/test.sh"
in_chroot_32bit ./scripts/test.sh
kelto_step "Debian $1: ./scripts/run.sh, until the windows Kelto and KeltoChat are on the screen"
in_chroot_32bit ./scripts/run-check.sh
kelto_step
echo "Debian $1 ($codename): the README's commands work"
