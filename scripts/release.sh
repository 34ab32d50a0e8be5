#!/usr/bin/env bash
# Makes the release zips and SHA256SUMS in build/win32/release from what build.sh built,
# and checks them and the programs in them without running them (docs/releasing.md).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fail() {
  echo "release.sh: $*" >&2
  exit 1
}
[ -f "$root/build/win32/bin/Kelto.exe" ] || fail "nothing is built; run ./scripts/build.sh first"
cd "$root/build/win32"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
trial="Kelto-$version-trial"
kelto_files=(Kelto.exe Kelto-LICENSE.txt Kelto-README.txt)

# Each zip from a folder laid out as it unpacks, its entries dated by the commit, in one
# order, with no other times, owners or attributes: the same commit, the same bytes.
rm -rf release
stage=release/staging
mkdir -p "$stage/kelto" "$stage/trial/$trial"
for folder in "$stage/kelto" "$stage/trial/$trial"; do
  cp bin/Kelto.exe release-texts/Kelto-README.txt release-texts/Kelto-LICENSE.txt "$folder/"
done
cp bin/KeltoChat.exe bin/wadapi.dll "$stage/trial/$trial/"
find "$stage" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
find "$stage" -exec touch -h -d "@${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}" {} +
for kind in kelto trial; do
  (cd "$stage/$kind" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort |
     TZ=UTC zip -X -D -q "../../Kelto-$version-win32-$kind.zip" -@)
done
rm -rf "$stage"
(cd release && sha256sum ./*.zip | sed 's| \./| |' >SHA256SUMS)

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
# Unpacks zip $1 and checks that it holds exactly the files named, that unpacked into
# the chat client's folder it could replace nothing but Kelto's own files, and that its
# texts' lines all end in CR LF, for Notepad.
check() {
  local kind=$1 zip="release/Kelto-$version-win32-$1.zip" top text listing
  shift
  mkdir "$unpacked/$kind"
  (cd "$unpacked/$kind" && cmake -E tar xf "$root/build/win32/$zip")
  listing=$(cd "$unpacked/$kind" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
  echo "$zip:"$'\n'"  ${listing//$'\n'/$'\n'  }"
  [ "$listing" = "$(printf '%s\n' "$@" | LC_ALL=C sort)" ] || fail "$zip holds other files than $*"
  for top in "${@%%/*}"; do
    [[ "$top" == Kelto.exe || "$top" == Kelto-* ]] ||
      fail "$zip: $top would land in the chat client's folder and may replace a file of its own"
  done
  for text in "$@"; do
    if [[ "$text" == *.txt ]] && grep -q -e $'[^\r]$' -e '^$' "$unpacked/$kind/$text"; then
      fail "$zip: $text has lines that do not end in CR LF"
    fi
  done
}
check kelto "${kelto_files[@]}"
check trial "${kelto_files[@]/#/$trial/}" "$trial/KeltoChat.exe" "$trial/wadapi.dll"
programs="$unpacked/trial/$trial"
for file in "${kelto_files[@]}"; do
  cmp -s "$unpacked/kelto/$file" "$programs/$file" || fail "the two zips hold different files named $file"
done
echo "Both zips hold the same Kelto files, and neither can replace a file of the chat client's."

# The header's flags and the import, export and resource tables, as objdump reads them.
headers() { i686-w64-mingw32-objdump -p "$programs/$1"; }
has() { grep -Eq "$2" <<<"$1"; }
# The DLLs every Windows has; anything else would have to ship beside Kelto.
system_dlls='^(kernel32|user32|gdi32|comctl32|ole32|oleaut32|msvcrt|advapi32|shell32)\.dll$'
# What a debugger or an injector imports, and antivirus looks for in an unsigned program
# that loads a DLL; none of the three needs any.
suspect_imports='^(SuspendThread|ResumeThread|GetThreadContext|SetThreadContext|OpenProcess|DuplicateHandle|AddVectoredExceptionHandler)$'
for program in Kelto.exe KeltoChat.exe wadapi.dll; do
  info=$(headers "$program")
  has "$info" 'file format pei-i386$' || fail "$program is not a 32-bit x86 program"
  for flag in DYNAMIC_BASE NX_COMPAT; do
    has "$info" "^[[:space:]]+$flag$" || fail "$program lacks the $flag flag (ASLR, DEP)"
  done
  has "$info" '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$' ||
    fail "$program carries a build time in its header: $(grep '^Time/Date' <<<"$info")"
  # Resources at the top level of the tree: 0x10 the version, 0x18 the manifest.
  has "$info" '^[0-9a-f]+   Entry: ID: 0x000010,' || fail "$program has no version resource"
  [ "$program" = wadapi.dll ] || has "$info" '^[0-9a-f]+   Entry: ID: 0x000018,' ||
    fail "$program has no manifest"
  while read -r dll; do
    has "${dll,,}" "$system_dlls" || fail "$program imports $dll, which is not one of the system's DLLs"
  done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$info")
  # The import table's rows: address, hint, name.
  suspects=$(sed -n '/^The Import Tables/,/^The Export Tables\|^There is no\|^The Function Table/p' <<<"$info" |
             awk -v suspect="$suspect_imports" 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && $3 ~ suspect {print $3}')
  [ -z "$suspects" ] ||
    fail "$program imports ${suspects//$'\n'/ }, which antivirus takes for an injector's; build it with the win32 thread model"
  echo "$program: 32-bit x86, ASLR and DEP on, no build time, a version resource, only the system's DLLs"
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
if [ -f tested-files.sha256 ]; then
  (cd "$programs" && sha256sum --check --quiet --strict "$root/build/win32/tested-files.sha256") ||
    fail "the zipped programs are not the ones the window tests ran"
  echo "The zipped programs are the very files the window tests ran."
else
  echo "Note: the window tests have not run the 32-bit build here; the zips are not compared with it."
fi
size=$(stat -c %s bin/Kelto.exe)
echo "Kelto.exe: $size bytes (at most $((320 * 1024)))"
[ "$size" -le $((320 * 1024)) ] || fail "Kelto.exe is larger than 320 KB"
echo "release/SHA256SUMS:"
sed 's/^/  /' release/SHA256SUMS
