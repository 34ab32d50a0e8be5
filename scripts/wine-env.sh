# Sourced by the scripts that run Windows programs: chooses which build Wine runs.
# Kelto ships as a 32-bit program, and where this machine's kernel runs 32-bit programs
# the 32-bit build is what runs and what the window tests drive. A kernel without
# 32-bit support (ia32_emulation off) cannot start Wine's 32-bit loader at all; there
# Wine runs the 64-bit build of the same sources instead, and the scripts say so.
# Sets KELTO_WINE_ARCH (win32 or win64; may be given beforehand), KELTO_WINE (the Wine
# loader to run programs with), KELTO_PREFIX_SUFFIX ("64" for a 64-bit Wine prefix, so
# that the two kinds never share one) and WINEARCH.
kelto_choose_wine() {
  if [ -z "${KELTO_WINE_ARCH:-}" ]; then
    if /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 ||
       ! [ -x /usr/lib/wine/wine64 ]; then
      KELTO_WINE_ARCH=win32
    else
      KELTO_WINE_ARCH=win64
    fi
  fi
  case "$KELTO_WINE_ARCH" in
    win32) KELTO_WINE=wine ;;
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

kelto_explain_wine() {
  if [ "$KELTO_WINE_ARCH" = win64 ]; then
    echo "Note: this machine's kernel runs no 32-bit programs, so Wine cannot run the 32-bit"
    echo "Kelto.exe that ships. Wine runs the 64-bit build of the same sources (build/win64)."
  fi
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
