#!/usr/bin/env bash
# Runs a command as on a kernel that runs no 32-bit programs: every process it starts that
# makes a 32-bit system call is ended (docs/testing.md). Builds the launcher on first use.
#   without-ia32.sh COMMAND [ARGS...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source="$root/tests/no_ia32/without_ia32.c"
launcher="$root/build/no-ia32/without_ia32"
if [ ! -x "$launcher" ] || [ "$source" -nt "$launcher" ]; then
  command -v cc >/dev/null || "$root/scripts/install-deps.sh" native
  mkdir -p "$(dirname "$launcher")"
  cc -std=c11 -O2 -Wall -Wextra -Werror -o "$launcher" "$source"
fi
exec "$launcher" "$@"
