#!/usr/bin/env bash
# Builds the 32-bit Windows side: Kelto.exe, the stand-in wadapi.dll, KeltoChat and the
# window tests, into build/win32/bin.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" cross
cd "$root"
cmake --preset win32 >/dev/null
cmake --build --preset win32
