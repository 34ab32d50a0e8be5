#pragma once

// Starts the real Kelto.exe with the stand-in library and drives it as a user would:
// mouse clicks and typing through the input queue, menu commands, reading controls.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelto::window_testing {

// The stand-in's call log, a call a line.
using Lines = std::vector<std::string>;

struct SessionOptions {
  std::string scenario{};                  // stand-in scenario; empty: its friendly default
  std::wstring executable = L"Kelto.exe";  // relative to the test program's folder
  bool overDde = false;  // no scenario at all: the stand-in talks to a running KeltoChat
  const wchar_t* windowClass = L"KeltoMainWindow";  // the program's main window
  std::wstring workingFolder{};                     // empty: a folder of the session's own
};

class KeltoSession {
 public:
  explicit KeltoSession(const SessionOptions& options = {});
  ~KeltoSession();
  KeltoSession(const KeltoSession&) = delete;
  KeltoSession& operator=(const KeltoSession&) = delete;

  // The main window, once it is shown; null if it never is.
  HWND WaitForWindow(DWORD timeoutMs = 20000);
  HWND Window() const { return window_; }
  HANDLE Process() const { return process_.hProcess; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }

  // Click and the typing calls return once Kelto has handled the input; ClickAt
  // returns at once, for a click whose handler keeps running.
  void Click(int id);
  void ClickAt(HWND control);
  void WaitForInputHandled() const;
  void TypeIntoHost(const std::wstring& text);
  // Pastes the text into the control with Ctrl+V, as a user would; false if the
  // clipboard would not take it or the control never showed it.
  bool Paste(int id, const std::wstring& text);
  void Menu(int id);

  std::wstring Text(int id) const;
  int Check(int id) const;
  // Presses the keys one after another and waits until they are handled, or holds
  // them down together as a chord and returns at once.
  void PressKeys(const std::vector<WORD>& keys, bool together = false) const;
  bool Topmost() const;
  // The control that has the keyboard focus in Kelto, or null.
  HWND Focus() const;
  // Answers a message within the timeout: the window is not frozen.
  bool Responsive(DWORD timeoutMs = 2000) const;

  std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
  // A message box of Kelto's, or null.
  HWND WaitForMessageBox(DWORD timeoutMs) const;
  // Whether Kelto's process has a window of the main window's class.
  bool HasMainWindow() const;
  Lines Log() const;

 private:
  std::wstring directory_;
  const wchar_t* windowClass_;
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

std::wstring MessageBoxText(HWND box);
std::wstring WindowCaption(HWND window);
void PressMessageBoxOk(HWND box);
std::wstring TestFolder();
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// A failure that ends Kelto: its box, captioned with the application's name, saying
// `text`, with no window left behind; Kelto ends, failing, once the box is closed.
void ExpectFatalBox(KeltoSession& kelto, const std::wstring& text, DWORD timeoutMs = 20000,
                    const wchar_t* caption = L"Kelto");

}  // namespace kelto::window_testing
