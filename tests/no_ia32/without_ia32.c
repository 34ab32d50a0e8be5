/* Runs a command as on a kernel that runs no 32-bit x86 programs (ia32_emulation off,
 * or a kernel built without IA-32 support): a seccomp filter, inherited by every child,
 * ends a process at its first system call through the 32-bit ABI, as systemd's
 * SystemCallArchitectures=native does. An emulator such as qemu-i386 is a 64-bit
 * program, so what it runs still runs.
 *   without_ia32 COMMAND [ARGS...]
 */
#include <errno.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include <sys/prctl.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: without_ia32 COMMAND [ARGS...]\n");
    return 2;
  }
  struct sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_I386, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  struct sock_fprog program = {sizeof filter / sizeof filter[0], filter};
  /* Without it an unprivileged process may not set a filter; it also keeps a set-user-ID
   * program from escaping the filter by gaining privileges. */
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
      prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
    fprintf(stderr, "without_ia32: the filter could not be set: %s\n", strerror(errno));
    return 1;
  }
  execvp(argv[1], argv + 1);
  fprintf(stderr, "without_ia32: %s: %s\n", argv[1], strerror(errno));
  return 127;
}
