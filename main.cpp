// Kelto's entry: creates the window, loads it, and runs it until it is closed.
// The one top-level handler shows any failure and ends the program.

#include <windows.h>

#include <exception>

#include "link/mod_dapi.h"
#include "link/run_time_error.h"
#include "link/wadapi_library.h"
#include "link/windows_platform.h"
#include "window/main_window.h"
#include "window/windows_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
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
