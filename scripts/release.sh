#!/usr/bin/env bash
# Builds the release zips into build/win32/release: Kelto (Kelto.exe, README.txt,
# LICENSE.txt) and the trial kit (the same and KeltoChat.exe, the stand-in wadapi.dll),
# and checks what they hold: the files, CRLF line endings, Kelto.exe's size, and that
# no two zips hold different files under one name, since a user unpacks them into one
# folder. The programs are checked as files, without running them: 32-bit x86, the
# system's protections on, nothing imported that Windows lacks, the stand-in's four
# entry points under their plain names, a version and a manifest, and the very bytes
# the window tests ran.
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

objdump=i686-w64-mingw32-objdump
# The import, export and resource tables, and the header's flags, as objdump reads them.
headers() { "$objdump" -p "$unpacked_root/trial/$1"; }
has() { grep -Eq "$2" <<<"$1"; }
# The DLLs every Windows has; anything else would have to ship beside Kelto.
system_dlls='^(kernel32|user32|gdi32|comctl32|ole32|oleaut32|msvcrt|advapi32|shell32)\.dll$'
for program in Kelto.exe KeltoChat.exe wadapi.dll; do
  info=$(headers "$program")
  has "$info" 'file format pei-i386$' || fail "$program is not a 32-bit x86 program"
  for flag in DYNAMIC_BASE NX_COMPAT; do
    has "$info" "^[[:space:]]+$flag$" || fail "$program lacks the $flag flag (ASLR, DEP)"
  done
  # Resources at the top level of the tree: 0x10 the version, 0x18 the manifest.
  has "$info" '^[0-9a-f]+   Entry: ID: 0x000010,' || fail "$program has no version resource"
  if [ "$program" != wadapi.dll ]; then
    has "$info" '^[0-9a-f]+   Entry: ID: 0x000018,' || fail "$program has no manifest"
  fi
  while read -r dll; do
    tr '[:upper:]' '[:lower:]' <<<"$dll" | grep -Eq "$system_dlls" ||
      fail "$program imports $dll, which is not one of the system's DLLs"
  done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$info")
  echo "$program: 32-bit x86, ASLR and DEP on, a version resource, only the system's DLLs"
done
info=$(headers Kelto.exe)
has "$info" '^[[:space:]]+large address aware$' ||
  fail "Kelto.exe is not large-address-aware: a large chat text would not fit"
# Kelto loads wadapi.dll itself, to say what is wrong when it is missing.
! has "$info" 'DLL Name: wadapi' || fail "Kelto.exe imports wadapi.dll"
# One row a name, the name last ("[   0] DapiCommunicate", or with binutils 2.44
# "[   0] +base[   1]  0000 DapiCommunicate").
exports=$(headers wadapi.dll | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
            grep -E '^[[:space:]]+\[ *[0-9]+\]' | awk '{print $NF}' | sort | tr '\n' ' ')
[ "$exports" = "DapiCommunicate DapiGetAllText DapiRegister InitDDE " ] ||
  fail "the stand-in wadapi.dll exports '$exports', not exactly the library's four entry points"
echo "wadapi.dll exports exactly: $exports"

# The files the window tests ran, as window-tests.sh recorded them when they passed.
tested=tested-files.sha256
if [ -f "$tested" ]; then
  for program in Kelto.exe KeltoChat.exe wadapi.dll; do
    grep -q " $program\$" "$tested" || fail "$tested does not name $program"
    [ "$(sha256sum <"$unpacked_root/trial/$program" | cut -d' ' -f1)" = \
      "$(sed -n "s/^\([0-9a-f]*\)  $program\$/\1/p" "$tested")" ] ||
      fail "the zipped $program is not the one the window tests ran"
  done
  echo "The zipped programs are the very files the window tests ran."
else
  echo "Note: the window tests have not run on the 32-bit build here, so the zips are not"
  echo "compared with what they ran."
fi
size=$(stat -c %s bin/Kelto.exe)
limit=$((280 * 1024))
echo "Kelto.exe: $size bytes (at most $limit)"
[ "$size" -le "$limit" ] || fail "Kelto.exe is larger than 280 KB"
