// The least a Win32 program does to show a window, built with Kelto's toolchain, its
// link options and its manifest: what Kelto's start-up is measured against.
// With "/libraries" it first loads the two libraries Kelto cannot start without, the
// common controls (of today, through the manifest) and wadapi.dll, so that a timing
// can tell their share from Kelto's own.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <cwchar>

namespace {

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool LoadKeltosLibraries() {
  const HMODULE controls = LoadLibraryW(L"comctl32.dll");
  if (controls == nullptr) {
    return false;
  }
  using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = reinterpret_cast<InitControls>(
      reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
  return init != nullptr && init(&classes) && LoadLibraryW(L"wadapi.dll") != nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR lpCmdLine, int nShowCmd) {
  if (std::wcscmp(lpCmdLine, L"/libraries") == 0 && !LoadKeltosLibraries()) {
    return 1;
  }
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = BareWindowProc;
  windowClass.hInstance = hInstance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"KeltoBareWindow";
  if (RegisterClassExW(&windowClass) == 0) {
    return 1;
  }
  const HWND window =
      CreateWindowExW(0, windowClass.lpszClassName, L"Bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 240, 180, nullptr, nullptr, hInstance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  ShowWindow(window, nShowCmd);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
