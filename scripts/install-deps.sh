#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kelto need,
# skipping the ones already there. Needs root (or sudo) on Debian 12 or later.
#   install-deps.sh native   compilers, CMake, GoogleTest, git, shellcheck, and LLVM 19:
#                            clang with its sanitizer and fuzzer runtimes, clang-tidy,
#                            clang-format (Debian 12 and 13 both carry LLVM 19, so the
#                            checks agree)
#   install-deps.sh cross    MinGW-w64 for 32-bit Windows, and for 64-bit Windows (the
#                            build Wine runs where the kernel runs no 32-bit programs),
#                            and zip for the release
#   install-deps.sh wine     Wine, 32-bit and 64-bit, and Xvfb; where the kernel runs no
#                            32-bit programs, qemu-user 10 or later as well, which runs
#                            them (from bookworm-backports on Debian 12)
# With no argument it installs all three groups.
set -euo pipefail
# shellcheck source=lib.sh
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

installed() {
  dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed$'
}
missing=()
for pkg in "${wanted[@]}"; do
  installed "$pkg" || missing+=("$pkg")
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

# Where the kernel runs no 32-bit programs, qemu-user runs the 32-bit Wine and Kelto.
# Older versions start 32-bit Wine, which then spins for minutes reserving its
# address space.
[ "$need_i386" -eq 1 ] || exit 0
kelto_runs_i386 && exit 0
qemu_version() {
  dpkg-query -W -f='${Version}' qemu-user 2>/dev/null | sed -n 's/^\([0-9]*:\)\{0,1\}\([0-9]*\).*/\2/p'
}
[ "$(qemu_version)" -ge 10 ] 2>/dev/null && exit 0
release=()
if [ "$(. /etc/os-release && echo "$VERSION_CODENAME")" = bookworm ]; then
  # Debian 12 carries qemu-user 10 in its backports, which apt takes only when asked.
  if ! grep -qrs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: %s\n' \
      "$(kelto_debian_mirror)" /usr/share/keyrings/debian-archive-keyring.gpg |
      $SUDO tee /etc/apt/sources.list.d/kelto-bookworm-backports.sources >/dev/null
  fi
  release=(-t bookworm-backports)
fi
echo "Installing: qemu-user (this kernel runs no 32-bit programs; qemu-user runs them)"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${release[@]}" qemu-user >/dev/null
[ "$(qemu_version)" -ge 10 ] 2>/dev/null ||
  { echo "install-deps.sh: qemu-user 10 or later could not be installed" >&2; exit 1; }
