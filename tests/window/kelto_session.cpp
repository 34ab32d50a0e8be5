#include "tests/window/kelto_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "link/module_file_win.h"
#include "resources/resource.h"

namespace kelto::window_testing {
namespace {

constexpr UINT kMessageTimeoutMs = 5000;

struct FindArgs {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam) {
  auto* args = reinterpret_cast<FindArgs*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (owner == args->processId && IsWindowVisible(window) &&
      lstrcmpW(className, args->className) == 0) {
    args->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowOfProcess(DWORD processId, const wchar_t* className) {
  FindArgs args{processId, className, nullptr};
  EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&args));
  return args.found;
}

void SendInputs(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Key(WORD virtualKey, WORD scan, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki = {virtualKey, scan, flags, 0, 0};
  return input;
}

// The stand-in's call log and scenario, in each session's folder.
constexpr wchar_t kLogName[] = L"\\calls.log";
constexpr wchar_t kScenarioName[] = L"\\scenario.txt";

}  // namespace

std::wstring WindowCaption(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                           &length)) {
    throw std::runtime_error("the control does not answer WM_GETTEXTLENGTH");
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

std::wstring TestFolder() {
  return kelto::ModuleFolder(nullptr);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(20);
  }
  return true;
}

KeltoSession::KeltoSession(const SessionOptions& options) : windowClass_(options.windowClass) {
  static int sessions = 0;
  directory_ = TestFolder() + L"\\session-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(++sessions);
  CreateDirectoryW(directory_.c_str(), nullptr);
  const std::wstring log = directory_ + kLogName;
  DeleteFileW(log.c_str());
  SetEnvironmentVariableW(L"WADAPI_LOG", log.c_str());
  if (options.overDde) {
    SetEnvironmentVariableW(L"WADAPI_SCENARIO", nullptr);
  } else {
    const std::wstring scenario = directory_ + kScenarioName;
    std::ofstream(scenario.c_str(), std::ios::binary) << "# the stand-in's defaults\n"
                                                      << options.scenario;
    SetEnvironmentVariableW(L"WADAPI_SCENARIO", scenario.c_str());
  }
  std::wstring command = L"\"" + TestFolder() + L"\\" + options.executable + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(
          nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
          options.workingFolder.empty() ? directory_.c_str() : options.workingFolder.c_str(),
          &startup, &process_)) {
    throw std::runtime_error("Kelto could not be started");
  }
}

KeltoSession::~KeltoSession() {
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
  // Kelto ran in the folder; with it gone, the folder goes too.
  DeleteFileW((directory_ + kLogName).c_str());
  DeleteFileW((directory_ + kScenarioName).c_str());
  RemoveDirectoryW(directory_.c_str());
}

HWND KeltoSession::WaitForWindow(DWORD timeoutMs) {
  WaitUntil(
      [this] {
        window_ = FindWindowOfProcess(process_.dwProcessId, windowClass_);
        return window_ != nullptr || WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
      },
      timeoutMs);
  if (window_ != nullptr) {
    // Shown and past its first messages.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
  }
  return window_;
}

void KeltoSession::ClickAt(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  // Absolute coordinates on every event, so each lands where it is aimed.
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = MulDiv((rect.left + rect.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  move.mi.dy = MulDiv((rect.top + rect.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  INPUT down = move;
  down.mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  INPUT up = move;
  up.mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInputs({move, down, up});
}

void KeltoSession::WaitForInputHandled() const {
  // Sent messages overtake input, so only an idle input queue shows that the input
  // has reached its handler.
  Sleep(30);
  WaitForInputIdle(process_.hProcess, 5000);
  Responsive();
}

void KeltoSession::Click(int id) {
  ClickAt(Control(id));
  WaitForInputHandled();
}

void KeltoSession::TypeIntoHost(const std::wstring& text) {
  Click(IDC_TXTHOST);
  std::vector<INPUT> inputs;
  for (const wchar_t c : text) {
    inputs.push_back(Key(0, c, KEYEVENTF_UNICODE));
    inputs.push_back(Key(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
  SendInputs(inputs);
  WaitForInputHandled();
  WaitUntil([&] { return Text(IDC_TXTHOST).size() >= text.size(); }, 3000);
}

bool KeltoSession::Paste(int id, const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  void* const locked = memory != nullptr ? GlobalLock(memory) : nullptr;
  if (locked != nullptr) {
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (locked == nullptr || !OpenClipboard(nullptr)) {
    GlobalFree(memory);
    return false;
  }
  const bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!placed) {
    GlobalFree(memory);
    return false;
  }
  Click(id);
  PressKeys({VK_CONTROL, 'V'}, true);
  WaitForInputHandled();
  return WaitUntil([&] { return Text(id).size() == text.size(); }, 5000);
}

void KeltoSession::Menu(int id) {
  PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::wstring KeltoSession::Text(int id) const {
  return WindowCaption(Control(id));
}

int KeltoSession::Check(int id) const {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(Control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &state);
  return static_cast<int>(state);
}

bool KeltoSession::Topmost() const {
  return (GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

HWND KeltoSession::Focus() const {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &thread) ? thread.hwndFocus
                                                                               : nullptr;
}

bool KeltoSession::Responsive(DWORD timeoutMs) const {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored) != 0;
}

std::optional<DWORD> KeltoSession::WaitForExit(DWORD timeoutMs) const {
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD status = 0;
  GetExitCodeProcess(process_.hProcess, &status);
  return status;
}

HWND KeltoSession::WaitForMessageBox(DWORD timeoutMs) const {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        box = FindWindowOfProcess(process_.dwProcessId, L"#32770");
        return box != nullptr;
      },
      timeoutMs);
  return box;
}

bool KeltoSession::HasMainWindow() const {
  return FindWindowOfProcess(process_.dwProcessId, KELTO_WINDOW_CLASS) != nullptr;
}

Lines KeltoSession::Log() const {
  std::ifstream file((directory_ + kLogName).c_str(), std::ios::binary);
  Lines lines;
  for (std::string line; std::getline(file, line);) {
    lines.push_back(line);
  }
  return lines;
}

void KeltoSession::PressKeys(const std::vector<WORD>& keys, bool together) const {
  std::vector<INPUT> inputs;
  for (const WORD code : keys) {
    inputs.push_back(Key(code, 0, 0));
    if (!together) {
      inputs.push_back(Key(code, 0, KEYEVENTF_KEYUP));
    }
  }
  for (auto code = keys.rbegin(); together && code != keys.rend(); ++code) {
    inputs.push_back(Key(*code, 0, KEYEVENTF_KEYUP));
  }
  SendInputs(inputs);
  if (!together) {
    WaitForInputHandled();
  }
}

std::wstring MessageBoxText(HWND box) {
  // A message box shows its text in the static control with the id 0xFFFF.
  const HWND text = GetDlgItem(box, 0xFFFF);
  return text != nullptr ? WindowCaption(text) : std::wstring();
}

void PressMessageBoxOk(HWND box) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

void ExpectFatalBox(KeltoSession& kelto, const std::wstring& text, DWORD timeoutMs,
                    const wchar_t* caption) {
  const HWND box = kelto.WaitForMessageBox(timeoutMs);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowCaption(box), caption);
  EXPECT_EQ(MessageBoxText(box), text);
  EXPECT_FALSE(kelto.HasMainWindow());
  EXPECT_FALSE(kelto.WaitForExit(300).has_value()) << "ended before the box was closed";
  PressMessageBoxOk(box);
  const std::optional<DWORD> status = kelto.WaitForExit(10000);
  ASSERT_TRUE(status.has_value());
  EXPECT_NE(status.value_or(0), 0u);
}

}  // namespace kelto::window_testing
