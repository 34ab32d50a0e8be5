#!/usr/bin/env bash
# Builds everything and runs every test: the portable core's unit tests natively
# under AddressSanitizer and UBSan (with a short fuzz run), then the window tests,
# which drive the real 32-bit Kelto.exe under Wine on a virtual display.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" native cross wine
jobs=$(nproc)

echo "== Core: unit tests and fuzzing (native, ASan + UBSan)"
CXX=clang++ cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKELTO_SANITIZE=ON >/dev/null
cmake --build "$root/build/native" -j "$jobs"
(cd "$root/build/native" && ctest --output-on-failure -j "$jobs")

echo "== Window: Kelto.exe with the stand-in library, under Wine"
"$root/scripts/build.sh"
# shellcheck source=virtual-display.sh
. "$root/scripts/virtual-display.sh"
start_virtual_display
export WINEPREFIX="$root/build/wineprefix-test"
# Boots the prefix on first use, then keeps one Wine server for all window tests.
"$root/scripts/wine-run.sh" --tests cmd /c exit >/dev/null 2>&1 || true
WINEARCH=win32 wineserver -k 2>/dev/null || true
WINEARCH=win32 wineserver -p
# The session's first program starts Wine's own services; let that be one whose
# output goes nowhere, so that none of them holds on to a test's output.
"$root/scripts/wine-run.sh" --tests cmd /c exit >/dev/null 2>&1 || true
trap 'WINEARCH=win32 wineserver -k 2>/dev/null || true; kill "$KELTO_XVFB_PID" 2>/dev/null || true' EXIT
(cd "$root/build/win32" && ctest --output-on-failure)

echo "== Release: the zips and what they hold"
"$root/scripts/release.sh"
