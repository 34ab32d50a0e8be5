#!/usr/bin/env bash
# Runs a command as on a kernel that runs no 32-bit programs, so that the emulated path
# (qemu-user in a namespace, see in-32bit.sh) can be tried on any machine:
#   without-ia32.sh ./scripts/test.sh
# Every process the command starts that makes a system call through the 32-bit ABI is
# ended, as the kernel would refuse it. Builds the launcher natively on first use.
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
