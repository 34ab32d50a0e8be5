#!/usr/bin/env bash
# Builds the release zips into build/win32/release and checks what they hold:
#   Kelto-V-win32-kelto.zip  Kelto.exe, Kelto-README.txt, Kelto-LICENSE.txt, to unpack
#                            into the chat client's folder: every name carries Kelto's,
#                            so it replaces nothing of the chat client's
#   Kelto-V-win32-trial.zip  one folder, Kelto-V-trial, holding the same and
#                            KeltoChat.exe and the stand-in wadapi.dll, so that the
#                            stand-in can never land beside the chat client's own
# and SHA256SUMS beside them. The same commit gives the same bytes wherever and
# whenever it is built: the programs carry no build time, and the zips' entries are
# dated by the commit (SOURCE_DATE_EPOCH, when set, takes its place), in one order,
# with no other times, owners or attributes (zip -X).
# It checks the texts' CRLF line endings, Kelto.exe's size, and the programs as files,
# without running them: 32-bit x86, the system's protections on, nothing imported that
# Windows lacks or that looks like another process's debugger, no build time, the
# stand-in's four entry points under their plain names, a version and a manifest, and
# the very bytes the window tests ran. It builds nothing: run build.sh first.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fail() {
  echo "release.sh: $*" >&2
  exit 1
}
[ -f "$root/build/win32/bin/Kelto.exe" ] || fail "nothing is built; run ./scripts/build.sh first"
cd "$root/build/win32"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}

# The zips, each from a folder laid out as it unpacks.
rm -rf release
stage=release/staging
trial_folder="Kelto-$version-trial"
mkdir -p "$stage/kelto" "$stage/trial/$trial_folder"
for folder in "$stage/kelto" "$stage/trial/$trial_folder"; do
  cp bin/Kelto.exe release-texts/Kelto-README.txt release-texts/Kelto-LICENSE.txt "$folder/"
done
cp bin/KeltoChat.exe bin/wadapi.dll "$stage/trial/$trial_folder/"
find "$stage" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
find "$stage" -exec touch -h -d "@$epoch" {} +
for kind in kelto trial; do
  (cd "$stage/$kind" &&
   find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort >"../$kind.files" &&
   TZ=UTC zip -X -D -q "../../Kelto-$version-win32-$kind.zip" -@ <"../$kind.files")
done
rm -rf "$stage"
(cd release && sha256sum ./*.zip | sed 's| \./| |' >SHA256SUMS)

unpacked_root=$(mktemp -d)
trap 'rm -rf "$unpacked_root"' EXIT
# Unpacks a zip and checks that it holds exactly the files named, and that unpacked
# into the chat client's folder it could replace nothing but Kelto's own files.
check() {
  local zip="release/Kelto-$version-win32-$1.zip"
  local unpacked="$unpacked_root/$1"
  shift
  echo "$zip:"
  mkdir -p "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$OLDPWD/$zip")
  local listing top
  listing=$(cd "$unpacked" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
  echo "  ${listing//$'\n'/$'\n'  }"
  [ "$listing" = "$(printf '%s\n' "$@" | LC_ALL=C sort)" ] || fail "$zip holds other files than $*"
  for top in $(cd "$unpacked" && ls -A); do
    [ "$top" = Kelto.exe ] || [[ "$top" == Kelto-* ]] ||
      fail "$zip: $top would land in the chat client's folder and may replace a file of its own"
  done
  local text
  for text in $(cd "$unpacked" && find . -name '*.txt'); do
    # Every line ends in CR LF, for Notepad and every other Windows editor.
    if grep -q $'[^\r]$' "$unpacked/$text" || grep -q '^$' "$unpacked/$text"; then
      fail "$zip: $text has lines that do not end in CR LF"
    fi
  done
}
check kelto Kelto.exe Kelto-LICENSE.txt Kelto-README.txt
check trial "$trial_folder/Kelto.exe" "$trial_folder/KeltoChat.exe" \
            "$trial_folder/Kelto-LICENSE.txt" "$trial_folder/Kelto-README.txt" \
            "$trial_folder/wadapi.dll"
for file in "$unpacked_root"/kelto/*; do
  cmp -s "$file" "$unpacked_root/trial/$trial_folder/$(basename "$file")" ||
    fail "the two zips hold different files named $(basename "$file")"
done
echo "Both zips hold the same Kelto files; unpacked into the chat client's folder, neither"
echo "replaces anything but Kelto's own."

objdump=i686-w64-mingw32-objdump
programs="$unpacked_root/trial/$trial_folder"
# The import, export and resource tables, and the header's flags, as objdump reads them.
headers() { "$objdump" -p "$programs/$1"; }
has() { grep -Eq "$2" <<<"$1"; }
# The DLLs every Windows has; anything else would have to ship beside Kelto.
system_dlls='^(kernel32|user32|gdi32|comctl32|ole32|oleaut32|msvcrt|advapi32|shell32)\.dll$'
# What a debugger or an injector imports, and antivirus heuristics look for in an
# unsigned program that loads a DLL; none of the three needs any.
suspect_imports='^(SuspendThread|ResumeThread|GetThreadContext|SetThreadContext|OpenProcess|DuplicateHandle|AddVectoredExceptionHandler)$'
for program in Kelto.exe KeltoChat.exe wadapi.dll; do
  info=$(headers "$program")
  has "$info" 'file format pei-i386$' || fail "$program is not a 32-bit x86 program"
  for flag in DYNAMIC_BASE NX_COMPAT; do
    has "$info" "^[[:space:]]+$flag$" || fail "$program lacks the $flag flag (ASLR, DEP)"
  done
  # No build time in the header, so that every build of a commit is alike.
  stamp=$(sed -n 's/^Time\/Date[[:space:]]\{1,\}\([A-Z][a-z][a-z] .*\)/\1/p' <<<"$info" | head -n1)
  if [[ "$stamp" != *" 1970" ]] || [[ "$stamp" != *" 00:00:00 "* ]]; then
    fail "$program carries a build time in its header ($stamp)"
  fi
  # Resources at the top level of the tree: 0x10 the version, 0x18 the manifest.
  has "$info" '^[0-9a-f]+   Entry: ID: 0x000010,' || fail "$program has no version resource"
  if [ "$program" != wadapi.dll ]; then
    has "$info" '^[0-9a-f]+   Entry: ID: 0x000018,' || fail "$program has no manifest"
  fi
  while read -r dll; do
    tr '[:upper:]' '[:lower:]' <<<"$dll" | grep -Eq "$system_dlls" ||
      fail "$program imports $dll, which is not one of the system's DLLs"
  done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$info")
  # The import table's rows: address, hint, name. None found is the good case, in which
  # grep fails.
  suspects=$(sed -n '/^The Import Tables/,/^The Export Tables\|^There is no\|^The Function Table/p' <<<"$info" |
             awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}' |
             grep -E "$suspect_imports" | LC_ALL=C sort -u | tr '\n' ' ' || true)
  [ -z "$suspects" ] ||
    fail "$program imports ${suspects% }, which antivirus takes for an injector's; build it with the win32 thread model"
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
tested="tested-files.sha256"
if [ -f "$tested" ]; then
  for program in Kelto.exe KeltoChat.exe wadapi.dll; do
    grep -q " $program\$" "$tested" || fail "$tested does not name $program"
    [ "$(sha256sum <"$programs/$program" | cut -d' ' -f1)" = \
      "$(sed -n "s/^\([0-9a-f]*\)  $program\$/\1/p" "$tested")" ] ||
      fail "the zipped $program is not the one the window tests ran"
  done
  echo "The zipped programs are the very files the window tests ran."
else
  echo "Note: the window tests have not run on the 32-bit build here, so the zips are not"
  echo "compared with what they ran."
fi
size=$(stat -c %s bin/Kelto.exe)
limit=$((320 * 1024))
echo "Kelto.exe: $size bytes (at most $limit)"
[ "$size" -le "$limit" ] || fail "Kelto.exe is larger than 320 KB"
echo "release/SHA256SUMS:"
sed 's/^/  /' release/SHA256SUMS
