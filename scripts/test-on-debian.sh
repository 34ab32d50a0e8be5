#!/usr/bin/env bash
# Tries the README's commands on a fresh Debian release, as a new user would: a minimal
# Debian in a chroot, a clean clone of this repository copied in, then install-deps.sh,
# test.sh, and run.sh (run-check.sh waits for both of its windows).
#   test-on-debian.sh 12|13 [--fresh]
# The chroot is made with debootstrap from the mirror this machine's apt uses, and kept
# in $KELTO_DEBIAN_CACHE (default /var/cache/kelto-debian) so that a second run reuses
# it; --fresh makes it anew. Needs root. Whatever a run mounts, it unmounts, even when
# it fails.
set -euo pipefail
# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
case "${1:-}" in
  12) codename=bookworm ;;
  13) codename=trixie ;;
  *) echo "usage: test-on-debian.sh 12|13 [--fresh]" >&2; exit 2 ;;
esac
[ "$(id -u)" -eq 0 ] || { echo "test-on-debian.sh: needs root (debootstrap, chroot)" >&2; exit 2; }
cache=${KELTO_DEBIAN_CACHE:-/var/cache/kelto-debian}
chroot_dir="$cache/$codename"
mkdir -p "$cache"
scripts="$KELTO_ROOT/scripts"
step() { echo "== Debian $1 ($codename): $2"; }

if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap \
    >/dev/null
fi
if [ "${2:-}" = --fresh ] || [ ! -f "$chroot_dir/.kelto-bootstrapped" ]; then
  mirror=$(kelto_debian_mirror)
  step "$1" "debootstrap from $mirror into $chroot_dir"
  rm -rf "$chroot_dir"
  started=$SECONDS
  debootstrap --variant=minbase "$codename" "$chroot_dir" "$mirror" >"$cache/$codename-debootstrap.log" 2>&1 ||
    { tail -n 20 "$cache/$codename-debootstrap.log" >&2; exit 1; }
  # A minbase system has no git; the README's commands need nothing else beforehand.
  touch "$chroot_dir/.kelto-bootstrapped"
  echo "debootstrap took $((SECONDS - started)) s"
fi

# Anything still running from inside the chroot (Wine, Xvfb) holds its mounts: ended
# first, then the mounts, the last made first.
stop_chroot_processes() {
  local pid
  for pid in /proc/[0-9]*; do
    if [ "$(readlink "$pid/root")" = "$chroot_dir" ]; then
      kill -9 "${pid#/proc/}"
    fi
  done 2>/dev/null  # a process may end between the look and the kill
}
kelto_on_exit stop_chroot_processes
for fs in proc sys dev; do
  mount --rbind "/$fs" "$chroot_dir/$fs"
  mount --make-rslave "$chroot_dir/$fs"
  kelto_on_exit "umount -R -l '$chroot_dir/$fs'"
done
cp -L /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
# A clean clone: what is committed, nothing from this working tree's build.
rm -rf "$chroot_dir/root/kelto"
git clone --quiet --no-local "$KELTO_ROOT" "$chroot_dir/root/kelto"

step "$1" "./scripts/install-deps.sh"
started=$SECONDS
"$scripts/in-chroot.sh" "$chroot_dir" ./scripts/install-deps.sh
# x11-utils only lets run-check.sh see the windows; run.sh itself does not need it.
"$scripts/in-chroot.sh" "$chroot_dir" apt-get install -y -qq --no-install-recommends x11-utils \
  >/dev/null
echo "installation took $((SECONDS - started)) s"

# Where the kernel runs no 32-bit programs, the chroot's own qemu-i386 runs them in a
# namespace entered before the chroot.
step "$1" "./scripts/test.sh"
started=$SECONDS
"$scripts/in-32bit.sh" --chroot "$chroot_dir" "$scripts/in-chroot.sh" "$chroot_dir" ./scripts/test.sh
echo "the tests took $((SECONDS - started)) s"

step "$1" "./scripts/run.sh, waiting for the windows Kelto and KeltoChat"
"$scripts/in-32bit.sh" --chroot "$chroot_dir" "$scripts/in-chroot.sh" "$chroot_dir" \
  ./scripts/run-check.sh
echo "Debian $1 ($codename): the README's commands work"
