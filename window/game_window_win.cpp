// What the game's logic needs of the window (GameWindow): its controls' texts and
// values, the time of day, the wait for the chat text with its nested message loop,
// and warnings.
#include <windows.h>

#include "link/wide_text_win.h"
#include "resources/resource.h"
#include "window/main_window.h"
#include "window/message_box_win.h"
#include "window/window_text_win.h"

namespace kelto {
namespace {

// How long "Get Host" waits for the chat text, after its last click, before it tells
// the user.
constexpr ULONGLONG kChatTextTimeoutMs = 10000;

int IndicatorId(Choice choice) {
  return IDC_CHECK1 + static_cast<int>(choice);
}

}  // namespace

GameWindow::WaitEnd MainWindow::WaitForChatText(const std::function<bool()>& arrived) {
  while (!arrived()) {
    // Clicks made during the request come before any made during this wait.
    clicks_.RunWaiting();
    if (window_ == nullptr) {
      return WaitEnd::WindowGone;
    }
    if (arrived()) {
      break;
    }
    // A click on "Get Host" during the wait joins it, and restarts its time.
    const ULONGLONG deadline = lastGetHostClick_ + kChatTextTimeoutMs;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) {
      return WaitEnd::TimedOut;
    }
    // Returns at once while messages are pending, else sleeps until one arrives.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
    MSG message;
    while (window_ != nullptr && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));  // for the message loop
        return WaitEnd::WindowGone;
      }
      Dispatch(message);
    }
  }
  return WaitEnd::Arrived;
}

std::u16string MainWindow::ControlText(int id) const {
  return FromWide(WindowText(Control(id)));
}

void MainWindow::SetControlText(int id, const std::u16string& text) {
  SetWindowTextW(Control(id), ToWide(text).c_str());
}

std::u16string MainWindow::HostText() const {
  return ControlText(IDC_TXTHOST);
}

void MainWindow::SetHostText(const std::u16string& text) {
  SetControlText(IDC_TXTHOST, text);
}

void MainWindow::SetIndicator(Choice choice, int value) {
  SendMessageW(Control(IndicatorId(choice)), BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED,
               0);
}

int MainWindow::AutoSendValue() const {
  return static_cast<int>(SendMessageW(Control(IDC_CHECK4), BM_GETCHECK, 0, 0));
}

std::u16string MainWindow::Text1() const {
  return ControlText(IDC_TEXT1);
}

void MainWindow::SetText1(const std::u16string& text) {
  SetControlText(IDC_TEXT1, text);
}

std::u16string MainWindow::Lower(std::u16string_view text) const {
  return LowerCase(text);
}

double MainWindow::SecondsSinceMidnight() const {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

void MainWindow::Warn(std::u16string_view text) {
  if (window_ != nullptr) {
    ShowWarning(window_, system_.AppName(), text);
  }
}

}  // namespace kelto
