#!/usr/bin/env bash
# Builds the 32-bit Windows side: Kelto.exe, the stand-in wadapi.dll, KeltoChat and the
# window tests, into build/win32/bin; and, where Wine can run only 64-bit programs here
# (see wine-env.sh), the same for 64-bit Windows into build/win64/bin.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" cross
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
kelto_choose_wine
cd "$root"
for preset in win32 "$KELTO_WINE_ARCH"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  [ "$KELTO_WINE_ARCH" != win32 ] || break
done
