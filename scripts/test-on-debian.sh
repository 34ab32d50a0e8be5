#!/usr/bin/env bash
# Tries the README's commands on a fresh Debian release, as a new user would: a
# minimal Debian in a chroot, a clean clone of this repository copied in, then
# install-deps.sh, test.sh, and run.sh (checked by waiting for both of its windows).
#   test-on-debian.sh 12|13 [--fresh]
# The chroot is made with debootstrap from the mirror this machine's apt uses, and kept
# in $KELTO_DEBIAN_CACHE (default /var/cache/kelto-debian) so that a second run reuses
# it; --fresh makes it anew. Needs root. Whatever a run mounts, it unmounts, even when
# it fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=machine-facts.sh
. "$root/scripts/machine-facts.sh"

case "${1:-}" in
  12) codename=bookworm ;;
  13) codename=trixie ;;
  *) echo "usage: test-on-debian.sh 12|13 [--fresh]" >&2; exit 2 ;;
esac
fresh=0
[ "${2:-}" = "--fresh" ] && fresh=1
[ "$(id -u)" -eq 0 ] || { echo "test-on-debian.sh: needs root (debootstrap, chroot)" >&2; exit 2; }

mirror=$(kelto_debian_mirror)

cache=${KELTO_DEBIAN_CACHE:-/var/cache/kelto-debian}
chroot_dir="$cache/$codename"
log_dir="$cache/logs"
mkdir -p "$cache" "$log_dir"

step() { echo "== Debian $1 ($codename): $2"; }

if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap \
    >/dev/null
fi

mounted=()
unmount_all() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R -l "${mounted[$i]}" 2>/dev/null || true
  done
  mounted=()
}
stop_chroot_processes() {
  # Anything still running from inside the chroot (Wine, Xvfb) holds its mounts.
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    if [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$chroot_dir" ]; then
      kill -9 "$pid" 2>/dev/null || true
    fi
  done
}
cleanup() {
  stop_chroot_processes
  unmount_all
}
trap cleanup EXIT

if [ "$fresh" -eq 1 ] || [ ! -f "$chroot_dir/.kelto-bootstrapped" ]; then
  step "$1" "debootstrap from $mirror into $chroot_dir"
  rm -rf "$chroot_dir"
  started=$SECONDS
  debootstrap --variant=minbase "$codename" "$chroot_dir" "$mirror" >"$log_dir/$codename-debootstrap.log" 2>&1 ||
    { tail -n 20 "$log_dir/$codename-debootstrap.log" >&2; exit 1; }
  # A minbase system has no git; the README's commands need nothing else beforehand.
  touch "$chroot_dir/.kelto-bootstrapped"
  echo "debootstrap took $((SECONDS - started)) s"
fi

for fs in proc sys dev; do
  mount --rbind "/$fs" "$chroot_dir/$fs"
  mount --make-rslave "$chroot_dir/$fs"
  mounted+=("$chroot_dir/$fs")
done
cp -L /etc/resolv.conf "$chroot_dir/etc/resolv.conf"

in_chroot() {
  chroot "$chroot_dir" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin CI="${CI:-}" \
    KELTO_I386_EMULATION="${KELTO_I386_EMULATION:-}" bash -c "$1"
}
# As in_chroot, and where the kernel runs no 32-bit programs, with the chroot's own
# qemu-i386 registered for them in a namespace entered before the chroot: a process
# inside a chroot may not make a user namespace itself.
in_chroot_with_i386() {
  if kelto_runs_i386 "$chroot_dir"; then
    in_chroot "$1"
    return
  fi
  # The functions and variables the namespace's shell needs, handed over as text.
  unshare --user --map-root-user --mount --fork "$root/scripts/i386-namespace.sh" \
    "$chroot_dir/usr/bin/qemu-i386" bash -c "$(declare -p chroot_dir CI 2>/dev/null || true)
$(declare -f in_chroot)
in_chroot \"\$1\"" in_chroot_with_i386 "$1"
}

# A clean clone: what is committed, nothing from this working tree's build.
rm -rf "$chroot_dir/root/kelto"
git clone --quiet --no-local "$root" "$chroot_dir/root/kelto"

step "$1" "./scripts/install-deps.sh"
started=$SECONDS
in_chroot 'cd /root/kelto && ./scripts/install-deps.sh'
echo "installation took $((SECONDS - started)) s"

step "$1" "./scripts/test.sh"
started=$SECONDS
in_chroot_with_i386 'cd /root/kelto && ./scripts/test.sh'
echo "the tests took $((SECONDS - started)) s"

step "$1" "./scripts/run.sh, waiting for the windows Kelto and KeltoChat"
# x11-utils only lets this script see the windows; run.sh itself does not need it.
in_chroot 'dpkg-query -W x11-utils >/dev/null 2>&1 ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends x11-utils >/dev/null'
in_chroot_with_i386 '
  set -u
  . /root/kelto/scripts/virtual-display.sh
  start_virtual_display
  cd /root/kelto
  ./scripts/run.sh >/tmp/run.log 2>&1 &
  run=$!
  seen=""
  for _ in $(seq 1 600); do
    tree=$(xwininfo -root -tree 2>/dev/null || true)
    if grep -q "\"Kelto\":" <<<"$tree" && grep -q "\"KeltoChat\":" <<<"$tree"; then
      seen=yes
      break
    fi
    sleep 0.5
  done
  # Ends Kelto and KeltoChat in whichever prefix run.sh used, and so run.sh itself.
  for prefix in wineprefix wineprefix64; do
    WINEPREFIX=/root/kelto/build/$prefix wineserver -k 2>/dev/null || true
  done
  wait "$run" || true
  if [ -z "$seen" ]; then
    echo "run.sh: the windows Kelto and KeltoChat did not both appear within 5 minutes" >&2
    cat /tmp/run.log >&2
    exit 1
  fi
  echo "run.sh: both windows, Kelto and KeltoChat, are on the screen"
'
echo "Debian $1 ($codename): the README's commands work"
