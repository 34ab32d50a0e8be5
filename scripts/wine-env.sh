# Sourced by the scripts that run Windows programs: chooses which build Wine runs.
# Kelto ships as a 32-bit program, and the 32-bit build is what runs and what the
# window tests drive: natively where this machine's kernel runs 32-bit programs, and
# through qemu-user where it does not (ia32_emulation off), in a namespace of the
# script's own (kelto_with_i386_emulation). Only where neither can be had does Wine
# run the 64-bit build of the same sources, and the scripts say so.
# Sets KELTO_WINE_ARCH (win32 or win64; may be given beforehand), KELTO_WINE (the Wine
# loader to run programs with), KELTO_PREFIX_SUFFIX ("64" for a 64-bit Wine prefix, so
# that the two kinds never share one) and WINEARCH.

# shellcheck source=machine-facts.sh
. "$(dirname "${BASH_SOURCE[0]}")/machine-facts.sh"

# Where the kernel runs no 32-bit programs, runs "$@" (the calling script and its
# arguments) again in a user and mount namespace of its own, in which qemu-i386 runs
# them; the rest of the machine is left as it was. Returns where nothing is needed or
# nothing can be done, and then kelto_choose_wine falls back to the 64-bit build.
# binfmt_misc is asked before the kernel's own ELF loader, so the registration would
# take 32-bit programs on any kernel; it is made only where the kernel cannot run them.
# Inside the namespace (KELTO_I386_EMULATION set) it makes no second one: there the
# 32-bit programs run, or the emulation has failed and the script ends, saying why.
kelto_with_i386_emulation() {
  [ -z "${KELTO_WINE_ARCH:-}" ] || return 0  # chosen by hand
  if [ -n "${KELTO_I386_EMULATION:-}" ]; then
    kelto_runs_i386 && return 0
    echo "32-bit programs do not run although $KELTO_I386_EMULATION is registered for them" \
         "in this namespace: /usr/lib/wine/wineserver32 --version failed under it." >&2
    exit 1
  fi
  ! kelto_runs_i386 || return 0
  kelto_find_i386_emulator || return 0
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  exec unshare --user --map-root-user --mount --fork "$root/scripts/i386-namespace.sh" \
    "$KELTO_QEMU" "$@"
}

# Sets KELTO_QEMU to a qemu-i386 that can run 32-bit Wine in a namespace of its own.
# Fails where there is none, saying why unless qemu-user is simply not installed.
kelto_find_i386_emulator() {
  local version major
  KELTO_QEMU=$(command -v qemu-i386 || true)
  [ -n "$KELTO_QEMU" ] || return 1
  # Older qemu-user starts 32-bit Wine, which then spins for minutes reserving its
  # address space.
  version=$("$KELTO_QEMU" --version | head -n1)
  major=$(sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p' <<<"$version")
  if [ "${major:-0}" -lt 10 ]; then
    echo "Note: $version is too old to run 32-bit Wine (10 or later can)."
    return 1
  fi
  if ! unshare --user --map-root-user --mount true 2>/dev/null; then
    echo "Note: this system lets no script make a user namespace, which the emulation needs."
    return 1
  fi
}

kelto_choose_wine() {
  if [ -z "${KELTO_WINE_ARCH:-}" ]; then
    if kelto_runs_i386 || ! [ -x /usr/lib/wine/wine64 ]; then
      KELTO_WINE_ARCH=win32
    else
      KELTO_WINE_ARCH=win64
    fi
  fi
  case "$KELTO_WINE_ARCH" in
    win32)
      KELTO_WINE=wine
      # Emulated, Wine's 32-bit programs are served by its 64-bit server, at native speed.
      if [ -n "${KELTO_I386_EMULATION:-}" ] && [ -x /usr/lib/wine/wineserver64 ]; then
        export WINESERVER=/usr/lib/wine/wineserver64
      fi
      ;;
    win64)
      # Debian's wine wrapper takes the 32-bit loader whenever it is installed, even
      # where the kernel cannot run it.
      KELTO_WINE=/usr/lib/wine/wine64
      export WINELOADER=$KELTO_WINE
      ;;
    *) echo "KELTO_WINE_ARCH must be win32 or win64, not '$KELTO_WINE_ARCH'" >&2; return 2 ;;
  esac
  KELTO_PREFIX_SUFFIX=
  [ "$KELTO_WINE_ARCH" = win32 ] || KELTO_PREFIX_SUFFIX=64
  export KELTO_WINE_ARCH KELTO_WINE KELTO_PREFIX_SUFFIX WINEARCH=$KELTO_WINE_ARCH
}

# The build that runs, in a few words: "32-bit, as shipped, emulated by qemu-i386 ...".
kelto_build_run() {
  if [ "$KELTO_WINE_ARCH" = win64 ]; then
    echo "64-bit, not as shipped"
  elif [ -n "${KELTO_I386_EMULATION:-}" ]; then
    echo "32-bit, as shipped, emulated by $KELTO_I386_EMULATION"
  else
    echo "32-bit, as shipped"
  fi
}

kelto_explain_wine() {
  if [ "$KELTO_WINE_ARCH" = win64 ]; then
    echo "Note: this machine runs no 32-bit programs, natively or emulated, so Wine cannot run"
    echo "the 32-bit Kelto.exe that ships. Wine runs the 64-bit build of the same sources"
    echo "(build/win64)."
  elif [ -n "${KELTO_I386_EMULATION:-}" ]; then
    echo "Note: this machine's kernel runs no 32-bit programs; $KELTO_I386_EMULATION runs the"
    echo "32-bit Kelto.exe that ships, and Wine with it, in a namespace of this script's own."
  fi
  export KELTO_BUILD_RUN
  KELTO_BUILD_RUN=$(kelto_build_run)
}

# For test.sh and time-under-wine.sh: Wine chosen and explained, a virtual display of
# their own, and the test prefix (WINEPREFIX), booted on first use.
kelto_start_test_session() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  kelto_choose_wine
  kelto_explain_wine
  # shellcheck source=virtual-display.sh
  . "$root/scripts/virtual-display.sh"
  start_virtual_display
  export WINEPREFIX="$root/build/wineprefix$KELTO_PREFIX_SUFFIX-test"
  "$root/scripts/wine-run.sh" --tests cmd /c exit >/dev/null 2>&1 || true
}
