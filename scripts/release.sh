#!/usr/bin/env bash
# Builds the release zips into build/win32/release: Kelto (Kelto.exe, README.txt,
# LICENSE.txt) and the trial kit (the same and KeltoChat.exe, the stand-in wadapi.dll),
# and checks what they hold: the files, CRLF line endings, Kelto.exe's size, and that
# no two zips hold different files under one name, since a user unpacks them into one
# folder.
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
unpacked_root=$(mktemp -d)
trap 'rm -rf "$unpacked_root"' EXIT
check() {
  local zip="release/Kelto-$version-win32-$1.zip"
  local unpacked="$unpacked_root/$1"
  shift
  echo "$zip:"
  mkdir -p "$unpacked"
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
}
check kelto Kelto.exe LICENSE.txt README.txt
check trial Kelto.exe KeltoChat.exe LICENSE.txt README.txt wadapi.dll
for file in "$unpacked_root"/kelto/*; do
  name=$(basename "$file")
  if [ -e "$unpacked_root/trial/$name" ] && ! cmp -s "$file" "$unpacked_root/trial/$name"; then
    fail "the two zips hold different files named $name"
  fi
done
echo "No two zips hold different files under one name."
size=$(stat -c %s bin/Kelto.exe)
limit=$((280 * 1024))
echo "Kelto.exe: $size bytes (at most $limit)"
[ "$size" -le "$limit" ] || fail "Kelto.exe is larger than 280 KB"
