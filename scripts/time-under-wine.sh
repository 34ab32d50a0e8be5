#!/usr/bin/env bash
# Times the real Kelto.exe under Wine, on a virtual display of its own, against what
# the system needs for the same work in the same run: "Get Host" on a 4 MiB chat text
# against MultiByteToWideChar widening the same bytes, and start-up against a bare
# window built the same way. See bench/window_timing_win.cpp.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${KELTO_RUN:-}" ]; then
  "$root/scripts/install-deps.sh" cross wine
  "$root/scripts/build.sh" >/dev/null
  exec "$root/scripts/in-32bit.sh" "$0" "$@"
fi
# shellcheck source=lib.sh
. "$root/scripts/lib.sh"
kelto_choose_wine
echo "Timing build/$KELTO_WINE_ARCH/bin/Kelto.exe: $(kelto_build_run)."
kelto_start_display
kelto_use_prefix tests
kelto_on_exit 'wineserver -k'
"$root/scripts/wine-run.sh" --tests "$root/build/$KELTO_WINE_ARCH/bin/window_timing.exe"
