// Kelto's entry: creates the window, loads it, and runs it until it is closed.
// The one top-level handler shows any failure and ends the program.

#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "link/mod_dapi.h"
#include "link/run_time_error.h"
#include "link/wadapi_library.h"
#include "link/windows_platform.h"
#include "window/main_window.h"
#include "window/windows_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // wadapi.dll is looked for beside the program and on the system's path, never in
  // whatever folder Kelto happens to be started from.
  SetDllDirectoryW(L"");
  // Registers the common controls' classes, so the visual styles apply.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const kelto::ModuleAppName appName;
  try {
    const kelto::WindowsAnsiCodec codec;
    kelto::TickClock clock;
    kelto::MessageBoxNotice notice(appName);
    kelto::WadapiLibrary library(appName);
    kelto::ModDapi link(library, codec, appName, clock, notice);
    kelto::MainWindow window(instance, link, notice);
    window.Load();
    window.Show(showCommand);
    return window.RunMessageLoop();
  } catch (const kelto::RunTimeError& error) {
    kelto::ShowRunTimeError(error);
  } catch (const std::exception& error) {
    kelto::ShowUnexpectedError(error, appName);
  }
  return 1;
}
