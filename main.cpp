// Kelto's entry: creates the window, loads it, and runs it until it is closed.
// The one top-level handler shows any failure and ends the program.

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#include "link/link_system_win.h"
#include "link/mod_dapi.h"
#include "link/module_file_win.h"
#include "link/run_time_error.h"
#include "link/wadapi_loader_win.h"
#include "window/main_window.h"
#include "window/message_box_win.h"

// What std::terminate calls by default, in place of the C++ library's own. Every
// failure reaches the handler below, which shows it; the library's handler would only
// print the exception's demangled type to a console Kelto does not have, and brings
// the demangler, an eighth of the program's size.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

namespace {

// The source a failure is shown with: the application's name, or Kelto's own where even
// that cannot be had.
std::u16string SourceName(const kelto::LinkSystem& system) {
  try {
    return system.AppName();
  } catch (...) {
    return u"Kelto";
  }
}

// wadapi.dll is looked for beside Kelto.exe, then in the system folders, then on PATH,
// and never in whatever folder Kelto happens to be started from, so that a stray DLL
// there cannot take the chat client's place. SetDllDirectoryW(L"") is the documented way
// on Windows, but Wine keeps the working folder in the search when the DLL directory is
// empty. Naming Kelto's own folder drops the working folder on both and keeps the order;
// SetDefaultDllDirectories would drop PATH as well.
void KeepWorkingFolderOutOfTheDllSearch() {
  const std::wstring folder = kelto::ModuleFolder(nullptr);
  if (!folder.empty() && SetDllDirectoryW(folder.c_str())) {
    return;
  }
  SetDllDirectoryW(L"");  // Windows' own way, where the folder cannot be named
}

}  // namespace

// The parameters are named as the system's headers declare them.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nShowCmd) {
  KeepWorkingFolderOutOfTheDllSearch();
  // Registers the common controls' classes, so the visual styles apply.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  kelto::WindowsLinkSystem system;
  kelto::WadapiLoader library(system);
  kelto::ModDapi link(library, system);
  // Outlives the handler below, so that a failure at start-up is shown owned by it.
  std::optional<kelto::MainWindow> window;
  try {
    window.emplace(hInstance, link, system);
    window->Load();
    window->Show(nShowCmd);
    return window->RunMessageLoop();
  } catch (...) {
    kelto::ShowFatalError(window ? window->Handle() : nullptr,
                          kelto::AsRunTimeError(std::current_exception(), SourceName(system)));
  }
  return 1;
}
