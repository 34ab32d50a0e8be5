# shellcheck shell=bash
# What the scripts share, sourced. Needs only Bash and coreutils: install-deps.sh sources
# it before it installs anything. KELTO_RUN says how 32-bit programs run (in-32bit.sh);
# KELTO_WINE_ARCH, win32 or win64, the build Wine runs (kelto_choose_wine, or by hand).

# Physical, as CMake records it in the compile commands.
KELTO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)

# Commands run when the script exits, the last added first, none replacing another.
KELTO_EXIT_ACTIONS=()
kelto_on_exit() {
  KELTO_EXIT_ACTIONS=("$1" "${KELTO_EXIT_ACTIONS[@]}")
  trap kelto_exit_actions EXIT
}
kelto_exit_actions() {
  local action
  for action in "${KELTO_EXIT_ACTIONS[@]}"; do
    # Said, but the script's own outcome stands.
    eval "$action" || echo "Note: at exit, '$action' failed" >&2
  done
}

# A step's heading, and the time the one before it took.
KELTO_STEP_STARTED=
kelto_step() {
  [ -z "$KELTO_STEP_STARTED" ] || echo "   (took $((SECONDS - KELTO_STEP_STARTED)) s)"
  KELTO_STEP_STARTED=$SECONDS
  [ $# -eq 0 ] || echo "== $*"
}

# Whether 32-bit x86 programs run (in the chroot $1, if given), natively or emulated:
# asks Wine's 32-bit server, so it says no too where 32-bit Wine is missing. In a
# subshell, so that the shell's word on a program the kernel ended goes nowhere either.
kelto_runs_i386() {
  (${1:+chroot "$1"} /usr/lib/wine/wineserver32 --version && true) >/dev/null 2>&1
}

# The first Debian mirror apt uses; Debian's own where it names none.
kelto_debian_mirror() {
  local uris
  uris=$(apt-get indextargets --format "\$(REPO_URI)" | sed -n '\|/debian/$|p')
  uris=${uris%%$'\n'*}
  echo "${uris:-http://deb.debian.org/debian/}"
}

# The major version of the qemu-i386 on PATH, 0 where there is none. Older than 10, it
# starts 32-bit Wine, which then spins for minutes reserving its address space.
kelto_qemu_major() {
  local major
  major=$(qemu-i386 --version 2>/dev/null | sed -n '1s/^qemu-i386 version \([0-9]*\).*/\1/p')
  echo "${major:-0}"
}

# KELTO_WINE_ARCH (the 32-bit build where 32-bit programs run), the Wine loader
# KELTO_WINE, and what Wine needs for them.
kelto_choose_wine() {
  if [ -z "${KELTO_WINE_ARCH:-}" ]; then
    KELTO_WINE_ARCH=win32
    kelto_runs_i386 "" || [ ! -x /usr/lib/wine/wine64 ] || KELTO_WINE_ARCH=win64
  fi
  if [ "$KELTO_WINE_ARCH" = win32 ]; then
    KELTO_WINE=wine
    # Emulated, Wine's 32-bit programs are served by its 64-bit server, at native speed.
    if [ "${KELTO_RUN:-}" = emulated ] && [ -x /usr/lib/wine/wineserver64 ]; then
      export WINESERVER=/usr/lib/wine/wineserver64
    fi
  elif [ "$KELTO_WINE_ARCH" = win64 ]; then
    # Debian's wine wrapper takes the 32-bit loader whenever it is installed, even where
    # the kernel cannot run it.
    KELTO_WINE=/usr/lib/wine/wine64
    export WINELOADER=$KELTO_WINE
  else
    echo "KELTO_WINE_ARCH must be win32 or win64, not '$KELTO_WINE_ARCH'" >&2
    return 2
  fi
  # No Mono or Gecko installers: nothing here needs them, and they would ask.
  export KELTO_WINE_ARCH KELTO_WINE WINEARCH=$KELTO_WINE_ARCH WINEDEBUG=${WINEDEBUG:--all} \
    WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

# The build that runs, for people: "32-bit, as shipped, emulated by qemu-i386 ...".
kelto_build_run() {
  if [ "$KELTO_WINE_ARCH" = win64 ]; then
    echo "64-bit, not as shipped: this machine runs no 32-bit programs, natively or through" \
         "a qemu-i386 10 or later in a user namespace"
  else
    echo "32-bit, as shipped${KELTO_EMULATOR:+, emulated by $KELTO_EMULATOR}"
  fi
}

# WINEPREFIX, for running Kelto ("run") or for the tests ("tests", one per build and
# KELTO_TEST_DPI, windows unmanaged: see docs/testing.md), booted unless its last boot
# finished.
kelto_use_prefix() {
  local name=wineprefix log
  [ "$KELTO_WINE_ARCH" = win32 ] || name+="64"
  [ "$1" != tests ] || name+="-test${KELTO_TEST_DPI:+-${KELTO_TEST_DPI}dpi}"
  export WINEPREFIX="$KELTO_ROOT/build/$name"
  # Written last, once every step of the boot has succeeded.
  [ ! -f "$WINEPREFIX/.kelto-ready" ] || return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  log="$WINEPREFIX/.kelto-boot.log"
  # Each step chained to the last: a caller's "||" would switch off set -e in here.
  {
    "$KELTO_WINE" wineboot --init &&
      { [ "$1" != tests ] ||
          "$KELTO_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f; } &&
      { [ -z "${KELTO_TEST_DPI:-}" ] ||
          "$KELTO_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$KELTO_TEST_DPI" /f; } &&
      wineserver --wait
  } >"$log" 2>&1 || {
    echo "The Wine prefix $WINEPREFIX could not be made ready:" >&2
    tail -n 20 "$log" >&2
    return 1
  }
  touch "$WINEPREFIX/.kelto-ready"
}

# First of all in a script that runs Windows programs: "build" installs and builds what
# it needs, "built" runs what is built; then the script runs through in-32bit.sh, once.
kelto_in_32bit() {
  [ -z "${KELTO_RUN:-}" ] || return 0
  if [ "$1" = build ]; then
    "$KELTO_ROOT/scripts/install-deps.sh" cross wine
    "$KELTO_ROOT/scripts/build.sh"
  fi
  shift
  exec "$KELTO_ROOT/scripts/in-32bit.sh" "$0" "$@"
}

# For programs under test: the Wine build, a virtual display, the tests' prefix, and one
# Wine server for all of them, ended with the script.
kelto_test_session() {
  kelto_choose_wine
  kelto_start_display
  kelto_use_prefix tests
  # A server left by a run that was killed may hold the prefix; mostly there is none.
  wineserver -k 2>/dev/null || true
  wineserver -p
  kelto_on_exit 'wineserver -k'
  # The session's first program starts Wine's own services; let that be one whose output
  # goes nowhere, so that none of them holds on to a test's output.
  "$KELTO_WINE" cmd /c exit >/dev/null 2>&1
}

# A virtual display (Xvfb) of the script's own, DISPLAY exported, ended when the script
# exits. Xvfb takes a free display number itself, and writes it (-displayfd).
kelto_start_display() {
  local xvfb number
  exec {xvfb}< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
  kelto_on_exit "kelto_stop $!"
  read -r -t 10 number <&"$xvfb" || { echo "Xvfb did not start a display" >&2; return 1; }
  exec {xvfb}<&-
  export DISPLAY=":$number"
}

# Ends a process of the script's own, unless it has ended already.
kelto_stop() {
  kill "$1" 2>/dev/null || return 0
  wait "$1" 2>/dev/null || [ $? -gt 128 ]  # ended by the signal, as asked
}
