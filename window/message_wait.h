#pragma once

#include <windows.h>

#include "window/host_discovery.h"

namespace kelto {

// Hands a message to the window's keyboard navigation or to its window procedure.
void DispatchWindowMessage(HWND dialog, MSG& message);

// Waits for the chat text while the window goes on processing its messages. It
// sleeps until a message comes instead of spinning, gives up after a while, and
// ends at once when the window is gone, passing the quit message on.
class MessageWait final : public ChatTextWait {
 public:
  // `dialog` is the main window's handle as it stands (null once destroyed).
  explicit MessageWait(const HWND& dialog, DWORD timeoutMilliseconds = 10000)
      : dialog_(dialog), timeout_(timeoutMilliseconds) {}

  Outcome WaitWhile(const std::function<bool()>& stillWaiting) override;

 private:
  const HWND& dialog_;
  DWORD timeout_;
};

}  // namespace kelto
