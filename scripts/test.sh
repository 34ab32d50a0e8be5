#!/usr/bin/env bash
# Builds everything and runs every check: the layout and clang-tidy, the portable
# core's unit tests natively (clang 19 with AddressSanitizer and UBSan, a short fuzz run,
# and g++), then the window tests, which drive the real 32-bit Kelto.exe under Wine
# on a virtual display (window-tests.sh), and last the release zips.
# KELTO_TESTS_ONLY=1 runs the tests alone: no clang-format, clang-tidy or release step
# (check-tests-bite.sh runs it so, on code it has changed on purpose).
set -euo pipefail
tests_only=${KELTO_TESTS_ONLY:-0}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" native cross wine
cd "$root"
# Each step's heading, and the time the one before it took.
step_started=
step() {
  [ -z "$step_started" ] || echo "   (took $((SECONDS - step_started)) s)"
  step_started=$SECONDS
  [ $# -eq 0 ] || echo "== $*"
}

if [ "$tests_only" != 1 ]; then
  step "Layout: clang-format-19"
  git ls-files '*.cpp' '*.h' | xargs clang-format-19 --dry-run --Werror
fi

step "Core: unit tests and fuzzing (clang 19, ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "Core: unit tests (g++)"
cmake --preset native-gcc >/dev/null
cmake --build --preset native-gcc
ctest --preset native-gcc

if [ "$tests_only" != 1 ]; then
  step "Core: clang-tidy-19"
  # The portable core and what builds natively with it; the Windows files need windows.h.
  if ! findings=$(git ls-files 'link/*.cpp' 'window/*.cpp' 'tests/unit/*.cpp' 'bench/*.cpp' \
                    'tests/fuzz/*.cpp' | grep -v -e '_win\.cpp$' -e '/main_window\.cpp$' |
                  xargs -P "$(nproc)" -n 4 clang-tidy-19 -p build/native --quiet 2>&1); then
    grep -v 'warnings generated' <<<"$findings"
    exit 1
  fi
  echo "clang-tidy: no findings"
fi

step "Scripts: the 32-bit emulation's set-up, as on a kernel without 32-bit support"
"$root/tests/no_ia32/emulation_test.sh"

step "Window: Kelto.exe with the stand-in library, under Wine"
"$root/scripts/build.sh"
"$root/scripts/window-tests.sh"

if [ "$tests_only" != 1 ]; then
  step "Release: the zips and what they hold"
  "$root/scripts/release.sh"
fi
step
