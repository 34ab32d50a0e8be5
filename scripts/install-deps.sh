#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kelto need,
# skipping the ones already there. Needs root (or sudo) on Debian 12 or later.
#   install-deps.sh native   compilers, CMake, GoogleTest, clang's sanitizer and fuzzer
#                            runtimes (for the installed clang), clang-tidy, clang-format
#   install-deps.sh cross    MinGW-w64 for 32-bit Windows
#   install-deps.sh wine     Wine with 32-bit support and Xvfb
# With no argument it installs all three groups.
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(native cross wine)

wanted=()
need_i386=0
for group in "${groups[@]}"; do
  case "$group" in
    native) wanted+=(cmake ninja-build g++ make libgtest-dev clang libclang-rt-dev clang-tidy
                     clang-format) ;;
    cross) wanted+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686) ;;
    wine) wanted+=(wine wine32:i386 fonts-wine xvfb) ; need_i386=1 ;;
    *) echo "install-deps.sh: unknown group '$group' (native, cross, wine)" >&2; exit 2 ;;
  esac
done

missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -gt 0 ] || exit 0

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ "$need_i386" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
