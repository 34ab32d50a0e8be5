#!/usr/bin/env bash
# Installs from Debian's archive what building, running and testing Kelto need, skipping
# what is there; needs root (or sudo) on Debian 12 or later. LLVM is 19, which Debian 12
# and 13 both carry, so that the checks agree.
#   install-deps.sh [native] [cross] [wine]    the groups named, or all three
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(native cross wine)

wanted=()
need_i386=0
for group in "${groups[@]}"; do
  case "$group" in
    native) wanted+=(cmake ninja-build g++ make libgtest-dev git shellcheck clang-19
                     libclang-rt-19-dev clang-tidy-19 clang-format-19) ;;
    cross) wanted+=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
                    g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 zip) ;;
    wine) wanted+=(wine wine32:i386 wine64 fonts-wine xvfb) ; need_i386=1 ;;
    *) echo "install-deps.sh: unknown group '$group' (native, cross, wine)" >&2; exit 2 ;;
  esac
done

missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$pkg")
done

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$need_i386" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Where the kernel runs no 32-bit programs, qemu-user 10 or later runs them; Debian 12
# carries it in its backports, which apt takes only when asked.
if [ "$need_i386" -eq 0 ] || kelto_runs_i386 "" || [ "$(kelto_qemu_major)" -ge 10 ]; then
  exit 0
fi
release=()
if [ "$(. /etc/os-release && echo "$VERSION_CODENAME")" = bookworm ]; then
  grep -qrs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/ ||
    printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: %s\n' \
      "$(kelto_debian_mirror)" /usr/share/keyrings/debian-archive-keyring.gpg |
      $SUDO tee /etc/apt/sources.list.d/kelto-bookworm-backports.sources >/dev/null
  release=(-t bookworm-backports)
fi
echo "Installing: qemu-user (this kernel runs no 32-bit programs; qemu-user runs them)"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${release[@]}" qemu-user >/dev/null
[ "$(kelto_qemu_major)" -ge 10 ] || { echo "install-deps.sh: qemu-user 10 or later could not be installed" >&2; exit 1; }
