#!/usr/bin/env bash
# Builds the Windows programs (Kelto, the stand-in wadapi.dll, KeltoChat, the window tests)
# into build/win32/bin and build/win64/bin: each build's tests use the other's wadapi.dll.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" cross
cd "$root"
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
