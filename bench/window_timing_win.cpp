// Times the real Kelto.exe, with the stand-in wadapi.dll beside it, against what the
// system itself needs for the same work, measured in the same run:
// - "Get Host" on a 4 MiB chat text delivered inside the call, from the click's command
//   to the host shown, against MultiByteToWideChar widening the same bytes;
// - start-up, from process start to the window shown and answering, against a bare
//   window built with the same toolchain; and against the same bare window loading
//   the libraries Kelto cannot start without, which tells their share from Kelto's.
// Run it from the folder that holds Kelto.exe, wadapi.dll and bare_window.exe.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/chat_bytes.h"
#include "link/module_file_win.h"
#include "resource.h"

namespace {

constexpr int kStartUpRuns = 12;
constexpr int kClickRuns = 25;
constexpr DWORD kPatienceMs = 20000;
constexpr char kHost[] = "timinghost";

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1e3 /
         static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

double Median(std::vector<double> values) {
  std::ranges::sort(values);
  return values[values.size() / 2];
}

// A started program, ended when this goes.
class Started {
 public:
  explicit Started(const std::wstring& executable, const std::wstring& arguments = L"") {
    std::wstring command = L"\"" + executable + L"\"";
    if (!arguments.empty()) {
      command += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = Now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      process_ = {};
    }
  }
  ~Started() {
    if (process_.hProcess == nullptr) {
      return;
    }
    if (window_ != nullptr) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  // Milliseconds from the start to the program's visible window of that class
  // answering a message; negative if it never does.
  double WaitForWindow(const wchar_t* windowClass) {
    if (process_.hProcess == nullptr) {
      return -1;
    }
    const ULONGLONG giveUp = GetTickCount64() + kPatienceMs;
    while (GetTickCount64() < giveUp) {
      for (HWND found = FindWindowExW(nullptr, nullptr, windowClass, nullptr); found != nullptr;
           found = FindWindowExW(nullptr, found, windowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        if (owner == process_.dwProcessId && IsWindowVisible(found)) {
          DWORD_PTR ignored = 0;
          SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kPatienceMs, &ignored);
          window_ = found;
          return Milliseconds(started_, Now());
        }
      }
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) {
        return -1;
      }
      Sleep(0);
    }
    return -1;
  }

  HWND Window() const { return window_; }

 private:
  PROCESS_INFORMATION process_{};
  LARGE_INTEGER started_{};
  HWND window_ = nullptr;
};

// The chat text as a scenario line for the stand-in: every byte that needs it escaped.
std::string ScenarioText(const std::string& bytes) {
  std::string quoted = "\"";
  quoted.reserve(bytes.size() * 2);
  for (const char byte : bytes) {
    switch (byte) {
      case '\r':
        quoted += "\\r";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\0':
        quoted += "\\0";
        break;
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      default:
        quoted += byte;
        break;
    }
  }
  return quoted + "\"";
}

// A scenario for the stand-in, in the temporary folder and named by WADAPI_SCENARIO
// for the programs started while it lives.
class ScenarioFile {
 public:
  ScenarioFile(const wchar_t* name, const std::string& text) {
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp, length > 0 && length < MAX_PATH ? length : 0) + name;
    std::ofstream(path_.c_str(), std::ios::binary) << text;
    SetEnvironmentVariableW(L"WADAPI_SCENARIO", path_.c_str());
  }
  ~ScenarioFile() {
    SetEnvironmentVariableW(L"WADAPI_SCENARIO", nullptr);
    DeleteFileW(path_.c_str());
  }
  ScenarioFile(const ScenarioFile&) = delete;
  ScenarioFile& operator=(const ScenarioFile&) = delete;

 private:
  std::wstring path_;
};

// The fastest and the median of `runs` widenings of `bytes` into fresh memory.
std::vector<double> SystemWidenings(const std::string& bytes, int runs) {
  std::vector<double> times;
  const int length = static_cast<int>(bytes.size());
  for (int run = 0; run < runs; ++run) {
    const LARGE_INTEGER start = Now();
    const std::unique_ptr<wchar_t[]> wide(new wchar_t[bytes.size()]);
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.get(), length);
    times.push_back(Milliseconds(start, Now()));
  }
  return times;
}

bool TimeGetHost(const std::wstring& folder) {
  // About 4 MiB of chat lines, the host's announcement near the end, and the
  // library's NUL and trailer.
  const std::string bytes = kelto::bench::ChatBytes(4u << 20) + kHost +
                            ": The Game Is Rock, Paper, Scissors\r\nbye for now\r\n" +
                            std::string("\0tail", 5);
  const ScenarioFile scenario(L"kelto-timing-scenario.txt",
                              "alltext " + ScenarioText(bytes) + "\n");

  std::vector<double> clicks;
  {
    Started kelto(folder + L"\\Kelto.exe");
    if (kelto.WaitForWindow(KELTO_WINDOW_CLASS) < 0) {
      std::printf("Kelto did not start\n");
      return false;
    }
    const HWND host = GetDlgItem(kelto.Window(), IDC_TXTHOST);
    const HWND button = GetDlgItem(kelto.Window(), IDC_COMMAND4);
    for (int run = 0; run < kClickRuns; ++run) {
      SendMessageW(host, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
      const LARGE_INTEGER start = Now();
      // What a click on "Get Host" sends; it returns once the click has been handled.
      SendMessageW(kelto.Window(), WM_COMMAND, MAKEWPARAM(IDC_COMMAND4, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
      const LARGE_INTEGER end = Now();
      wchar_t shown[64] = L"";
      // GetWindowText reads no control of another process.
      SendMessageW(host, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
      if (std::wstring(shown) != std::wstring(kHost, kHost + sizeof kHost - 1)) {
        std::printf("Get Host did not show the host (it shows \"%ls\")\n", shown);
        return false;
      }
      clicks.push_back(Milliseconds(start, end));
    }
  }
  const std::vector<double> widenings = SystemWidenings(bytes, kClickRuns);
  const double click = *std::ranges::min_element(clicks);
  const double widening = *std::ranges::min_element(widenings);
  std::printf(
      "Get Host on %.1f MiB: click to host shown %.2f ms (median %.2f); the system's "
      "widening %.2f ms (median %.2f): %.2f times (goal: at most 4)\n",
      static_cast<double>(bytes.size()) / (1 << 20), click, Median(clicks), widening,
      Median(widenings), click / widening);
  return true;
}

bool TimeStartUp(const std::wstring& folder) {
  // The stand-in's friendly default chat, with no chat client needed.
  const ScenarioFile scenario(L"kelto-timing-start.txt", "init 0\n");
  const std::wstring bareWindow = folder + L"\\bare_window.exe";
  std::vector<double> kelto;
  std::vector<double> bare;
  std::vector<double> bareWithLibraries;
  // Each program ends before the next starts, so none starts beside another.
  const auto timeStart = [](const std::wstring& executable, const wchar_t* windowClass,
                            const std::wstring& arguments = L"") {
    Started program(executable, arguments);
    return program.WaitForWindow(windowClass);
  };
  // Alternated, so that all three meet the same disturbances.
  for (int run = 0; run < kStartUpRuns; ++run) {
    kelto.push_back(timeStart(folder + L"\\Kelto.exe", KELTO_WINDOW_CLASS));
    bare.push_back(timeStart(bareWindow, L"KeltoBareWindow"));
    bareWithLibraries.push_back(timeStart(bareWindow, L"KeltoBareWindow", L"/libraries"));
  }
  const double keltoBest = *std::ranges::min_element(kelto);
  const double bareBest = *std::ranges::min_element(bare);
  const double librariesBest = *std::ranges::min_element(bareWithLibraries);
  if (keltoBest < 0 || bareBest < 0 || librariesBest < 0) {
    std::printf("a program did not show its window\n");
    return false;
  }
  std::printf(
      "Start-up to the shown window: Kelto %.1f ms (median %.1f), a bare window %.1f ms "
      "(median %.1f): %.2f times (goal: at most 1.25)\n",
      keltoBest, Median(kelto), bareBest, Median(bare), keltoBest / bareBest);
  std::printf(
      "  the bare window loading the common controls and wadapi.dll first: %.1f ms "
      "(median %.1f); Kelto takes %.2f times that\n",
      librariesBest, Median(bareWithLibraries), keltoBest / librariesBest);
  return true;
}

}  // namespace

int wmain() {
  const std::wstring folder = kelto::ModuleFolder(nullptr);
  const bool timed = TimeGetHost(folder) && TimeStartUp(folder);
  return timed ? 0 : 1;
}
