#!/usr/bin/env bash
# Takes away, one at a time, each protection in check-tests-bite.txt (its format is at its
# top), runs the tests on a clone of the last commit without it, and says which test
# noticed; fails if any entry is missed, or cannot be applied or built. See docs/testing.md.
#   check-tests-bite.sh [N ...]    every entry, or entries N only (numbered from 1)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${KELTO_BITE_DIR:-$root/build/bite}

# entry[N.key]: the value of "key:" in entry N.
declare -A entry
count=0 new=1
while IFS= read -r text || [ -n "$text" ]; do
  case "$text" in
    '#'*) ;;
    '') new=1 ;;
    lose:* | file:* | after:* | line:* | with:*)
      [ "$new" -eq 0 ] || count=$((count + 1)) new=0
      value=${text#*:}
      entry[$count.${text%%:*}]=${value# } ;;
    *) echo "check-tests-bite.txt: cannot read: $text" >&2; exit 2 ;;
  esac
done <"$root/scripts/check-tests-bite.txt"

# Applies entry $1 to the clone; fails, saying why, where its text is not where it says.
apply_entry() {
  local n=$1 key path at from content
  for key in lose file line with; do
    [ -v "entry[$n.$key]" ] || { echo "it has no \"$key:\""; return 1; }
  done
  path="$work/${entry[$n.file]}"
  [ -f "$path" ] || { echo "there is no ${entry[$n.file]}"; return 1; }
  mapfile -t at < <(grep -nF -- "${entry[$n.line]}" "$path" | cut -d: -f1)
  if [ -v "entry[$n.after]" ]; then
    mapfile -t from < <(grep -nF -- "${entry[$n.after]}" "$path" | cut -d: -f1)
    [ ${#from[@]} -eq 1 ] || { echo "\"${entry[$n.after]}\" stands in ${#from[@]} lines, not one"; return 1; }
    while [ ${#at[@]} -gt 0 ] && [ "${at[0]}" -lt "${from[0]}" ]; do at=("${at[@]:1}"); done
    at=("${at[@]:0:1}")
  fi
  [ ${#at[@]} -eq 1 ] || { echo "\"${entry[$n.line]}\" stands in ${#at[@]} lines, not one"; return 1; }
  mapfile -t content <"$path"
  content[at - 1]=${content[at - 1]/"${entry[$n.line]}"/"${entry[$n.with]}"}
  printf '%s\n' "${content[@]}" >"$path"
}

# The tests that failed in a run's output, or the CTest entries that did.
failed_tests() {
  local names
  names=$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_]*\.[A-Za-z0-9_/]*\).*/\1/p' "$1" | sort -u | paste -sd, -)
  [ -n "$names" ] || names=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$1" | sort -u | paste -sd, -)
  echo "$names"
}

selected=("$@")
[ $# -gt 0 ] || mapfile -t selected < <(seq 1 "$count")
git -C "$root" diff --quiet HEAD ||
  echo "Note: the working tree has uncommitted changes; checking the last commit without them."
if [ -d "$work/.git" ]; then
  git -C "$work" fetch -q "$root" HEAD
  git -C "$work" reset -q --hard FETCH_HEAD
else
  rm -rf "$work"
  git clone -q --no-local "$root" "$work"
fi
# Every selected entry must apply to that commit before any run starts.
for n in "${selected[@]}"; do
  if ! [[ "$n" =~ ^[1-9][0-9]*$ ]] || [ "$n" -gt "$count" ]; then
    echo "there is no entry $n" >&2
    exit 2
  fi
  why=$(apply_entry "$n") || { echo "entry $n does not apply to the last commit: $why" >&2; exit 2; }
  git -C "$work" checkout -q -- .
done
logs="$work/build/bite-logs"
mkdir -p "$logs"
run_tests() { KELTO_TESTS_ONLY=1 "$work/scripts/test.sh" >"$1" 2>&1; }

started=$SECONDS
echo "Unchanged: running the tests once (log: $logs/unchanged.log)"
run_tests "$logs/unchanged.log" || { echo "The tests fail without any change; fix that first." >&2; exit 1; }
bad=0
for n in "${selected[@]}"; do
  apply_entry "$n" >/dev/null
  log="$logs/entry-$n.log"
  if run_tests "$log"; then
    verdict="missed" bad=1
  elif names=$(failed_tests "$log") && [ -n "$names" ]; then
    verdict="caught by $names"
  else
    verdict="did not build or run (see $log)" bad=1
  fi
  git -C "$work" checkout -q -- .
  printf '%2d %-26s %s\n   %s\n' "$n" "${entry[$n.file]}" "$verdict" "${entry[$n.lose]}"
done
echo "$(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s for ${#selected[@]} entries"
exit "$bad"
