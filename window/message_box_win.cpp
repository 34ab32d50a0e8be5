#include "window/message_box_win.h"

#include "link/wide_text_win.h"

namespace kelto {

void ShowWarning(HWND owner, std::u16string_view caption, std::u16string_view text) {
  MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), MB_OK | MB_ICONWARNING);
}

void ShowFatalError(HWND owner, const RunTimeError& error) {
  // A destroyed window asked the message loop to quit; the box's own loop would
  // take that request as its end and vanish before the user saw it.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  MessageBoxW(owner != nullptr && IsWindow(owner) ? owner : nullptr,
              ToWide(RunTimeErrorText(error)).c_str(), ToWide(error.Source()).c_str(),
              MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace kelto
