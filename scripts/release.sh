#!/usr/bin/env bash
# Builds the release zips into build/win32/release: Kelto (Kelto.exe, README,
# licence) and the trial kit (KeltoChat.exe, the stand-in wadapi.dll, licence).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build/win32"
cpack -C Release >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
check() {
  local zip="release/Kelto-$version-win32-$1.zip"
  shift
  echo "$zip:"
  local listing
  listing=$(cmake -E tar tf "$zip")
  echo "$listing" | sed 's/^/  /'
  for file in "$@"; do
    grep -qx "$file" <<<"$listing" || { echo "release.sh: $zip lacks $file" >&2; exit 1; }
  done
}
check kelto Kelto.exe README.md LICENSE
check trial KeltoChat.exe wadapi.dll LICENSE
