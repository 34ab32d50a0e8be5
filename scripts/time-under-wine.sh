#!/usr/bin/env bash
# Times the real Kelto.exe under Wine, on a virtual display of its own, against what
# the system needs for the same work in the same run: "Get Host" on a 4 MiB chat text
# against MultiByteToWideChar widening the same bytes, and start-up against a bare
# window built the same way. See bench/window_timing_win.cpp.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" cross wine
"$root/scripts/build.sh" >/dev/null
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
kelto_with_i386_emulation "$root/scripts/time-under-wine.sh" "$@"
kelto_start_test_session
trap 'wineserver -k 2>/dev/null || true; kill "$KELTO_XVFB_PID" 2>/dev/null || true' EXIT
"$root/scripts/wine-run.sh" --tests "$root/build/$KELTO_WINE_ARCH/bin/window_timing.exe"
