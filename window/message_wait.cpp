#include "window/message_wait.h"

namespace kelto {

void DispatchWindowMessage(HWND dialog, MSG& message) {
  if (dialog == nullptr || !IsDialogMessageW(dialog, &message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

ChatTextWait::Outcome MessageWait::WaitWhile(const std::function<bool()>& stillWaiting) {
  const ULONGLONG deadline = GetTickCount64() + timeout_;
  while (stillWaiting()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) {
      return Outcome::TimedOut;
    }
    // Returns at once while messages are pending, else sleeps until one arrives.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return Outcome::WindowGone;
      }
      DispatchWindowMessage(dialog_, message);
    }
    if (dialog_ == nullptr) {
      return Outcome::WindowGone;
    }
  }
  return Outcome::Arrived;
}

}  // namespace kelto
