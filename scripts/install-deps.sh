#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kelto need,
# skipping the ones already there. Needs root (or sudo) on Debian 12 or later.
#   install-deps.sh native   compilers, CMake, GoogleTest, git, and LLVM 19: clang with
#                            its sanitizer and fuzzer runtimes, clang-tidy, clang-format
#                            (Debian 12 and 13 both carry LLVM 19, so the checks agree)
#   install-deps.sh cross    MinGW-w64 for 32-bit Windows, and for 64-bit Windows (the
#                            build Wine runs where the kernel runs no 32-bit programs)
#   install-deps.sh wine     Wine, 32-bit and 64-bit, and Xvfb
# With no argument it installs all three groups.
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(native cross wine)

wanted=()
need_i386=0
for group in "${groups[@]}"; do
  case "$group" in
    native) wanted+=(cmake ninja-build g++ make libgtest-dev git clang-19 libclang-rt-19-dev
                     clang-tidy-19 clang-format-19) ;;
    cross) wanted+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686
                    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64) ;;
    wine) wanted+=(wine wine32:i386 wine64 fonts-wine xvfb) ; need_i386=1 ;;
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
