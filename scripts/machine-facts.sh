# Sourced by the scripts that need to know this machine: whether it runs 32-bit x86
# programs, and which Debian mirror its apt uses. Needs nothing installed but Bash and
# coreutils, so install-deps.sh can source it before it installs anything.

# Whether 32-bit x86 programs run (in the chroot ROOT, if given): natively, or through
# an emulator registered with binfmt_misc. Asks Wine's 32-bit server, so it answers no
# as well where Wine's 32-bit half is not installed. In a subshell of its own (not
# replaced by the program), so that the shell's word on a program the kernel ended
# goes nowhere either.
kelto_runs_i386() {
  if [ -n "${1:-}" ]; then
    (chroot "$1" /usr/lib/wine/wineserver32 --version && true) >/dev/null 2>&1
  else
    (/usr/lib/wine/wineserver32 --version && true) >/dev/null 2>&1
  fi
}

# The first Debian mirror that apt already uses, in either sources format; Debian's own
# where none is named.
kelto_debian_mirror() {
  local mirror
  mirror=$(sed -n 's/^URIs:[[:space:]]*\(.*\/debian\/\{0,1\}\)[[:space:]]*$/\1/p' \
             /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n1 || true)
  if [ -z "$mirror" ]; then
    mirror=$(grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
             awk '$2 ~ /\/debian\/?$/ {print $2; exit}' || true)
  fi
  echo "${mirror:-http://deb.debian.org/debian}"
}
