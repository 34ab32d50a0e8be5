#!/usr/bin/env bash
# Builds the Windows side: Kelto.exe, the stand-in wadapi.dll, KeltoChat and the window
# tests, for 32-bit Windows into build/win32/bin, and the same for 64-bit Windows into
# build/win64/bin: the window tests run whichever build Wine can run here (see
# lib.sh), and give it the other build's wadapi.dll as one of the wrong bitness.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" cross
cd "$root"
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
