// Kelto's entry: creates the window, loads it, and runs it until it is closed.
// The one top-level handler shows any failure and ends the program.

#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <optional>

#include "link/link_system_win.h"
#include "link/mod_dapi.h"
#include "link/run_time_error.h"
#include "link/wadapi_loader_win.h"
#include "window/main_window.h"
#include "window/message_box_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // wadapi.dll is looked for beside the program and on the system's path, never in
  // whatever folder Kelto happens to be started from.
  SetDllDirectoryW(L"");
  // Registers the common controls' classes, so the visual styles apply.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  kelto::WindowsLinkSystem system;
  kelto::WadapiLoader library(system);
  kelto::ModDapi link(library, system);
  // Outlives the handler below, so that a failure at start-up is shown owned by it.
  std::optional<kelto::MainWindow> window;
  try {
    window.emplace(instance, link, system);
    window->Load();
    window->Show(showCommand);
    return window->RunMessageLoop();
  } catch (...) {
    std::u16string source = u"Kelto";
    try {
      source = system.AppName();
    } catch (...) {
      // Keep the built-in name.
    }
    kelto::ShowFatalError(window ? window->Handle() : nullptr,
                          kelto::AsRunTimeError(std::current_exception(), source));
  }
  return 1;
}
