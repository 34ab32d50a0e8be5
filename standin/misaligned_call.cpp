#include "standin/misaligned_call.h"

#include <cstdint>

namespace kelto::standin {
namespace {

#if defined(__i386__)
// Pushes the callee's `count` 32-bit arguments, last first, onto a stack set
// `misalignment` bytes short of a 16-byte boundary at the call, then calls it. A
// __stdcall callee takes its arguments off again; the old stack pointer is restored
// from esi, which the callee keeps.
void CallWithStack(void* callee, const std::uint32_t* arguments, std::uint32_t count,
                   std::uint32_t misalignment) {
  // Below the boundary, before the call pushes its return address: the padding, then
  // the arguments.
  std::uint32_t padding = (misalignment - count * 4 + 32) % 16;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "andl $-16, %%esp\n\t"
      "subl %[padding], %%esp\n\t"
      "1:\n\t"
      "testl %[count], %[count]\n\t"
      "jz 2f\n\t"
      "decl %[count]\n\t"
      "pushl (%[arguments],%[count],4)\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "call *%[callee]\n\t"
      "movl %%esi, %%esp\n\t"
      : [count] "+c"(count), [padding] "+d"(padding)  // the callee may change both
      : [callee] "b"(callee), [arguments] "D"(arguments)
      : "eax", "esi", "memory", "cc");
}
#endif

}  // namespace

void CallResult(wadapi::OnResultProc callback, BSTR text, unsigned misalignment) {
#if defined(__i386__)
  const std::uint32_t arguments[] = {reinterpret_cast<std::uint32_t>(text)};
  CallWithStack(reinterpret_cast<void*>(callback), arguments, 1, misalignment);
#else
  static_cast<void>(misalignment);
  callback(text);
#endif
}

void CallAllText(wadapi::OnAllTextProc callback, BSTR text, unsigned misalignment) {
  CallResult(callback, text, misalignment);  // the same contract
}

void CallMessage(wadapi::OnMessageProc callback, BSTR text1, short number, BSTR text2,
                 unsigned misalignment) {
#if defined(__i386__)
  const std::uint32_t arguments[] = {reinterpret_cast<std::uint32_t>(text1),
                                     static_cast<std::uint32_t>(static_cast<std::int32_t>(number)),
                                     reinterpret_cast<std::uint32_t>(text2)};
  CallWithStack(reinterpret_cast<void*>(callback), arguments, 3, misalignment);
#else
  static_cast<void>(misalignment);
  callback(text1, number, text2);
#endif
}

}  // namespace kelto::standin
