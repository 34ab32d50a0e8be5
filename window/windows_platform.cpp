#include "window/windows_platform.h"

#include <new>

#include "link/wide_text.h"
#include "resources/resource.h"

namespace kelto {
namespace {

BOOL CALLBACK FindMainWindow(HWND window, LPARAM found) {
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (lstrcmpW(className, KELTO_WINDOW_CLASS) == 0 && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// Kelto's window, so that the box is modal to it even when Kelto is not active.
HWND MainWindowOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMainWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

void ShowError(const std::u16string& caption, const std::u16string& text) {
  // Destroying the window asked the message loop to quit; the box's own loop would
  // take that request as its end and vanish before the user saw it.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  MessageBoxW(nullptr, ToWide(text).c_str(), ToWide(caption).c_str(),
              MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace

std::u16string WindowsTextCase::Lower(std::u16string_view text) const {
  std::wstring lower = ToWide(text);
  // One character for one: the length never changes.
  for (std::size_t done = 0; done < lower.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(lower.size() - done, 1u << 30));
    CharLowerBuffW(lower.data() + done, chunk);
    done += chunk;
  }
  return FromWide(lower);
}

double LocalTimeOfDay::SecondsSinceMidnight() const {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

void MessageBoxNotice::Show(std::u16string_view text) {
  MessageBoxW(MainWindowOfThisThread(), ToWide(text).c_str(), ToWide(appName_.AppName()).c_str(),
              MB_OK | MB_ICONWARNING);
}

void ShowRunTimeError(const RunTimeError& error) {
  ShowError(error.Source(), u"Run-time error " + FromWide(std::to_wstring(error.Number())) + u": " +
                                error.Description());
}

void ShowUnexpectedError(const std::exception& error, const AppNameSource& appName) {
  std::u16string caption = u"Kelto";
  try {
    caption = appName.AppName();
  } catch (const std::exception&) {
    // Keep the built-in name.
  }
  const bool outOfMemory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
  std::u16string what;
  for (const char* c = error.what(); *c != '\0'; ++c) {
    what.push_back(static_cast<unsigned char>(*c));
  }
  ShowError(caption, outOfMemory ? u"Run-time error 7: Out of memory" : u"Run-time error: " + what);
}

}  // namespace kelto
