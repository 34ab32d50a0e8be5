#!/usr/bin/env bash
# Builds and times the real Kelto.exe under Wine against what the system needs for the
# same work (docs/benchmarks.md, bench/window_timing_win.cpp).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kelto_in_32bit build "$@"
kelto_test_session
echo "Timing build/$KELTO_WINE_ARCH/bin/Kelto.exe: $(kelto_build_run)."
"$KELTO_ROOT/scripts/wine-run.sh" --tests "$KELTO_ROOT/build/$KELTO_WINE_ARCH/bin/window_timing.exe"
