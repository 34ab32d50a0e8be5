#!/usr/bin/env bash
# Takes away, one at a time, each protection listed in check-tests-bite.txt, runs the
# tests on what is left, and says which test noticed:
#   caught by Suite.Test   a test failed, as it should
#   missed                 every test still passed: the protection is not held by a test
# Ends non-zero if any entry is missed, or cannot be applied or built.
#
# It works on a clone of the last commit in build/bite (or $KELTO_BITE_DIR), so the
# working tree is never touched and uncommitted changes are not checked; every entry is
# first tried against that commit, and one that does not apply stops it, saying why. It first runs
# the tests once unchanged, then once per entry: KELTO_TESTS_ONLY=1 test.sh, without
# clang-format, clang-tidy or the release step. Each run rebuilds only the file the
# entry changes.
#   check-tests-bite.sh            every entry
#   check-tests-bite.sh 3 7        entries 3 and 7 only (numbered from 1, in list order)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
list="$root/scripts/check-tests-bite.txt"
work=${KELTO_BITE_DIR:-$root/build/bite}

# The list: entries of "lose:", "file:", an optional "after:", "line:" and "with:",
# one blank line between entries, "#" starting a comment line. "line:" is text that
# stands in exactly one line of the file (or, with "after:", in the first line at or
# after the one line holding that text); "with:" replaces it there.
loses=() files=() afters=() lines=() withs=()
lose='' file='' after='' line='' with='' have_with=0
flush() {
  if [ -n "$lose$file$line" ]; then
    if [ -z "$lose" ] || [ -z "$file" ] || [ -z "$line" ] || [ "$have_with" != 1 ]; then
      echo "check-tests-bite.txt: an entry needs lose:, file:, line: and with: ($file: $line)" >&2
      exit 2
    fi
    loses+=("$lose") files+=("$file") afters+=("$after") lines+=("$line") withs+=("$with")
  fi
  lose='' file='' after='' line='' with='' have_with=0
}
while IFS= read -r text || [ -n "$text" ]; do
  case "$text" in
    '#'*) ;;
    '') flush ;;
    'lose: '*) lose=${text#lose: } ;;
    'file: '*) file=${text#file: } ;;
    'after: '*) after=${text#after: } ;;
    'line: '*) line=${text#line: } ;;
    'with:'*) with=${text#with:}; with=${with# }; have_with=1 ;;
    *) echo "check-tests-bite.txt: cannot read: $text" >&2; exit 2 ;;
  esac
done <"$list"
flush

# Applies entry $1 to the tree in $2; fails, saying why, when the text is not where the
# entry says.
apply_entry() {
  local index=$1 tree=$2
  local path="$tree/${files[$index]}" start=0 at=-1 i count=0
  [ -f "$path" ] || { echo "no file ${files[$index]}"; return 1; }
  local content=()
  mapfile -t content <"$path"
  if [ -n "${afters[$index]}" ]; then
    start=-1
    for i in "${!content[@]}"; do
      if [[ "${content[$i]}" == *"${afters[$index]}"* ]]; then
        [ "$start" -lt 0 ] || { echo "\"${afters[$index]}\" stands in more than one line"; return 1; }
        start=$i
      fi
    done
    [ "$start" -ge 0 ] || { echo "no line holds \"${afters[$index]}\""; return 1; }
    for ((i = start; i < ${#content[@]}; i++)); do
      if [[ "${content[$i]}" == *"${lines[$index]}"* ]]; then at=$i; break; fi
    done
  else
    for i in "${!content[@]}"; do
      if [[ "${content[$i]}" == *"${lines[$index]}"* ]]; then at=$i; count=$((count + 1)); fi
    done
    [ "$count" -le 1 ] || { echo "\"${lines[$index]}\" stands in more than one line"; return 1; }
  fi
  [ "$at" -ge 0 ] || { echo "no line holds \"${lines[$index]}\""; return 1; }
  content[at]=${content[at]/"${lines[$index]}"/"${withs[$index]}"}
  printf '%s\n' "${content[@]}" >"$path"
}

# The tests that failed in a test run's output, or what stopped it before any test ran.
failed_tests() {
  local log=$1 names
  names=$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_]*\.[A-Za-z0-9_/]*\).*/\1/p' "$log" | sort -u |
          paste -sd, -)
  [ -n "$names" ] ||
    names=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$log" | sort -u | paste -sd, -)
  echo "$names"
}

selected=("$@")
if [ ${#selected[@]} -eq 0 ]; then
  for i in "${!loses[@]}"; do selected+=($((i + 1))); done
fi

if ! git -C "$root" diff --quiet HEAD; then
  echo "Note: the working tree has uncommitted changes; checking the last commit without them."
fi
if [ -d "$work/.git" ]; then
  git -C "$work" fetch -q "$root" HEAD
  git -C "$work" reset -q --hard FETCH_HEAD
else
  rm -rf "$work"
  git clone -q --no-local "$root" "$work"
fi
# Every selected entry must apply to the commit the runs check, before any run starts.
for number in "${selected[@]}"; do
  index=$((number - 1))
  if [ "$index" -lt 0 ] || [ "$index" -ge ${#loses[@]} ]; then
    echo "no entry $number" >&2
    exit 2
  fi
  if ! why=$(apply_entry "$index" "$work"); then
    echo "entry $number (${files[$index]}) does not apply to the last commit: $why" >&2
    exit 2
  fi
  git -C "$work" checkout -q -- .
done
logs="$work/build/bite-logs"
mkdir -p "$logs"

run_tests() {
  KELTO_TESTS_ONLY=1 "$work/scripts/test.sh" >"$1" 2>&1
}

started=$SECONDS
echo "Unchanged: running the tests once (log: $logs/unchanged.log)"
if ! run_tests "$logs/unchanged.log"; then
  echo "The tests fail without any change; fix that first." >&2
  exit 1
fi

bad=0
for number in "${selected[@]}"; do
  index=$((number - 1))
  git -C "$work" checkout -q -- .
  apply_entry "$index" "$work" >/dev/null
  log="$logs/entry-$number.log"
  if run_tests "$log"; then
    verdict="missed"
    bad=1
  else
    names=$(failed_tests "$log")
    if [ -n "$names" ]; then
      verdict="caught by $names"
    else
      verdict="did not build or run (see $log)"
      bad=1
    fi
  fi
  printf '%2d %-26s %s\n   %s\n' "$number" "${files[$index]}" "$verdict" "${loses[$index]}"
done
git -C "$work" checkout -q -- .
echo "$(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s for ${#selected[@]} entries"
exit "$bad"
