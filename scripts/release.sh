#!/usr/bin/env bash
# Builds the release zips into build/win32/release: Kelto (Kelto.exe, README.txt,
# LICENSE.txt) and the trial kit (KeltoChat.exe, the stand-in wadapi.dll, README.txt,
# LICENSE.txt), and checks what they hold.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build/win32"
rm -rf release
cpack -C Release >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
fail() {
  echo "release.sh: $*" >&2
  exit 1
}
check() {
  local zip="release/Kelto-$version-win32-$1.zip"
  shift
  echo "$zip:"
  local unpacked
  unpacked=$(mktemp -d)
  (cd "$unpacked" && cmake -E tar xf "$OLDPWD/$zip")
  local listing
  listing=$(cd "$unpacked" && ls)
  echo "$listing" | sed 's/^/  /'
  [ "$listing" = "$(printf '%s\n' "$@" | sort)" ] || fail "$zip holds other files than $*"
  for text in README.txt LICENSE.txt; do
    # Every line ends in CR LF, for Notepad and every other Windows editor.
    if grep -q $'[^\r]$' "$unpacked/$text" || grep -q '^$' "$unpacked/$text"; then
      fail "$zip: $text has lines that do not end in CR LF"
    fi
  done
  rm -rf "$unpacked"
}
check kelto Kelto.exe LICENSE.txt README.txt
check trial KeltoChat.exe LICENSE.txt README.txt wadapi.dll
size=$(stat -c %s bin/Kelto.exe)
limit=$((280 * 1024))
echo "Kelto.exe: $size bytes (at most $limit)"
[ "$size" -le "$limit" ] || fail "Kelto.exe is larger than 280 KB"
