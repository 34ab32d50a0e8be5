#!/usr/bin/env bash
# Builds everything and runs every check, in the order docs/testing.md gives.
# KELTO_TESTS_ONLY=1 runs the tests alone: no clang-format, shellcheck, clang-tidy or
# release step.
set -euo pipefail
tests_only=${KELTO_TESTS_ONLY:-0}
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
"$KELTO_ROOT/scripts/install-deps.sh" native cross wine
cd "$KELTO_ROOT"

# The project's own C++ files that build $1 compiles.
compiled() {
  sed -n 's|^ *"file": "\(.*\.cpp\)",\{0,1\}$|\1|p' "build/$1/compile_commands.json" |
    grep -F "$KELTO_ROOT/" | sort -u
}
# clang-tidy over the files named on its input, with the compile commands in folder $1
# and the arguments in $2; any finding fails the run.
tidy() {
  local findings
  if ! findings=$(xargs -P "$(nproc)" -n 4 clang-tidy-19 -p "$1" --quiet ${2:+"$2"} 2>&1); then
    grep -v 'warnings generated' <<<"$findings"
    exit 1
  fi
}

if [ "$tests_only" != 1 ]; then
  kelto_step "Layout: clang-format-19"
  git ls-files '*.cpp' '*.h' | xargs clang-format-19 --dry-run --Werror
  kelto_step "Scripts: shellcheck"
  git ls-files '*.sh' .ci/run | xargs shellcheck -x
  echo "shellcheck: no findings"
fi

kelto_step "Core: unit tests and fuzzing (clang 19, ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

kelto_step "Core: unit tests (g++)"
cmake --preset native-gcc >/dev/null
cmake --build --preset native-gcc
ctest --preset native-gcc

kelto_step "Windows programs: built once, for 32-bit and 64-bit Windows"
"$KELTO_ROOT/scripts/build.sh"

if [ "$tests_only" != 1 ]; then
  kelto_step "clang-tidy-19: the core, natively; the Windows programs, for 32-bit Windows"
  compiled native | tidy build/native ""
  # Clang reads MinGW's headers for the cross build's commands, less GCC's stack flags.
  mkdir -p build/tidy-win32
  sed -E 's/ -m(preferred|incoming)-stack-boundary=2//g' build/win32/compile_commands.json \
    >build/tidy-win32/compile_commands.json
  # The files only the Windows build compiles, less the two checks the Win32 API makes
  # meaningless (see .clang-tidy).
  comm -13 <(compiled native) <(compiled win32) |
    tidy build/tidy-win32 --checks=-performance-no-int-to-ptr,-bugprone-casting-through-void
  echo "clang-tidy: no findings"
fi

kelto_step "Scripts: the Wine prefix's and the 32-bit emulation's set-up"
"$KELTO_ROOT/tests/scripts/setup_test.sh"

kelto_step "Window: Kelto.exe with the stand-in library, under Wine"
"$KELTO_ROOT/scripts/window-tests.sh"

if [ "$tests_only" != 1 ]; then
  kelto_step "Release: the zips and what they hold"
  "$KELTO_ROOT/scripts/release.sh"
fi
kelto_step
