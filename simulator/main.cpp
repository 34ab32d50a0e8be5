// KeltoChat: a small chat-client simulator that Kelto can be tried against, through
// the stand-in wadapi.dll and a DDE conversation.

#include <windows.h>

#include <commctrl.h>

#include "simulator/chat_window.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  return kelto::simulator::ChatWindow::Run(hInstance);
}
