#include "window/main_window.h"

#include <commctrl.h>

#include <stdexcept>
#include <utility>

#include "resources/resource.h"
#include "window/accessible_name_win.h"
#include "window/gem_win.h"
#include "window/keyboard_win.h"
#include "window/layout_win.h"
#include "window/work_area.h"

namespace kelto {
namespace {

// Fixed size: it can be minimised but neither resized nor maximised, so the
// controls laid out beyond the client area never come into view.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

// Windows 10 1703 and later ask it before a move to a monitor of another scale; the
// headers declare it only for programs that require that version.
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

// The message font at a DPI, and the layout's scale for it.
std::pair<dpi::UniqueFont, layout::Scale> FontAndScale(UINT dpi) {
  dpi::UniqueFont font = dpi::MessageFont(dpi);
  const layout::Scale scale(dpi, dpi::LineHeight(font.get()));
  return {std::move(font), scale};
}

// The window's rectangle, at the origin, for the layout at a scale.
RECT FrameFor(const layout::Scale& scale) {
  const SIZE client = layout::ClientSize(scale);
  return dpi::WindowRectForClient(client.cx, client.cy, kWindowStyle, kWindowExStyle, scale.Dpi());
}

// The host frame's access key, which takes the focus to the host field inside it. Read
// from the layout once: the message loop asks for it with every message.
wchar_t FrameAccessKey() {
  static const wchar_t key = [] {
    for (const layout::ControlSpec& entry : layout::kControls) {
      if (entry.id == IDC_FRAME1) {
        return keyboard::AccessKey(entry.caption);
      }
    }
    return L'\0';
  }();
  return key;
}

bool IsIndicator(int id) {
  return id == IDC_CHECK1 || id == IDC_CHECK2 || id == IDC_CHECK3;
}

// An indicator has no caption to draw its focus cue around, so it is drawn around the
// whole control, once the button has painted itself.
LRESULT DrawIndicatorFocus(const NMCUSTOMDRAW& draw) {
  if (draw.dwDrawStage == CDDS_PREPAINT) {
    return CDRF_NOTIFYPOSTPAINT;
  }
  if (draw.dwDrawStage == CDDS_POSTPAINT && (draw.uItemState & CDIS_FOCUS) != 0 &&
      (SendMessageW(draw.hdr.hwndFrom, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0) {
    DrawFocusRect(draw.hdc, &draw.rc);
  }
  return CDRF_DODEFAULT;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, ModDapi& link, const LinkSystem& system)
    : link_(link),
      system_(system),
      choices_(*this, link, random_),
      discovery_(link, *this),
      clicks_(link, [this](int button) { OnButton(button); }) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KELTO));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KELTO),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = KELTO_WINDOW_CLASS;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw std::runtime_error("the window class could not be registered");
  }

  const HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU));
  if (menu == nullptr) {
    throw std::runtime_error("the window's menu could not be loaded");
  }
  // Sized again once the controls are laid out at the window's own DPI.
  const RECT frame = FrameFor(layout::Scale(dpi::SystemDpi(), 0));
  // WM_NCCREATE stores the handle in window_.
  if (CreateWindowExW(kWindowExStyle, KELTO_WINDOW_CLASS, L"Kelto", kWindowStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                      menu, instance, this) == nullptr) {
    DestroyMenu(menu);
    throw std::runtime_error("the window could not be created");
  }
  try {
    CreateControls();
    LayOutAt(dpi::ForWindow(window_));
    SizeToLayout();
  } catch (...) {
    DestroyWindow(window_);
    throw;
  }
}

MainWindow::~MainWindow() {
  if (window_ != nullptr) {
    DestroyWindow(window_);
  }
}

void MainWindow::CreateControls() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  for (const layout::ControlSpec& entry : layout::kControls) {
    if (CreateWindowExW(entry.exStyle, entry.className, entry.caption, entry.style, 0, 0, 0, 0,
                        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance,
                        nullptr) == nullptr) {
      throw std::runtime_error("the window's controls could not be created");
    }
  }
  avatars_.Attach(Control(IDC_LSTAVATARS));
  // What a screen reader announces: the indicators show no caption, and the host
  // field's only label is its frame, whose access key takes the focus there.
  const std::pair<int, const wchar_t*> names[] = {{IDC_CHECK1, L"Rock chosen"},
                                                  {IDC_CHECK2, L"Paper chosen"},
                                                  {IDC_CHECK3, L"Scissors chosen"},
                                                  {IDC_TXTHOST, L"Host"}};
  for (const auto& [id, name] : names) {
    const std::wstring shortcut =
        id == IDC_TXTHOST ? std::wstring(L"Alt+") + FrameAccessKey() : std::wstring();
    accessibleNames_.Set(Control(id), name, shortcut);  // without it the control goes unnamed
  }
  // Neither text box has a length limit.
  SendMessageW(Control(IDC_TXTHOST), EM_SETLIMITTEXT, 0, 0);
  SendMessageW(Control(IDC_TEXT1), EM_SETLIMITTEXT, 0, 0);
}

void MainWindow::ApplyLayout(dpi::UniqueFont font, const layout::Scale& scale) {
  for (const layout::ControlSpec& entry : layout::kControls) {
    const HWND control = Control(entry.id);
    SetWindowPos(control, nullptr, scale.Pixels(entry.left), scale.Pixels(entry.top),
                 scale.Pixels(entry.width), scale.Pixels(entry.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (font) {
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
  }
  if (font) {
    font_ = std::move(font);  // the old font is freed only once no control uses it
  }
  scale_ = scale;
}

void MainWindow::LayOutAt(UINT dpi) {
  auto [font, scale] = FontAndScale(dpi);
  ApplyLayout(std::move(font), scale);
  SetIcons(dpi);
}

SIZE MainWindow::FrameSizeAt(UINT dpi) const {
  const RECT frame = FrameFor(FontAndScale(dpi).second);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void MainWindow::SetIcons(UINT dpi) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  // Each replaced one is freed only once the window shows the new one.
  if (dpi::UniqueIcon icon = dpi::IconAt(instance, IDI_KELTO, true, dpi)) {
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
    smallIcon_ = std::move(icon);
  }
  if (dpi::UniqueIcon icon = dpi::IconAt(instance, IDI_KELTO, false, dpi)) {
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
    largeIcon_ = std::move(icon);
  }
}

void MainWindow::KeepOnWorkArea() {
  RECT window{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (IsIconic(window_) || !GetWindowRect(window_, &window) ||
      !GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return;
  }
  const RECT& area = monitor.rcWork;
  const Box kept = KeptInside({window.left, window.top, window.right, window.bottom},
                              {area.left, area.top, area.right, area.bottom});
  if (kept.left != window.left || kept.top != window.top) {
    SetWindowPos(window_, nullptr, kept.left, kept.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindow::SizeToLayout() {
  const RECT frame = FrameFor(scale_);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  if (IsIconic(window_)) {
    // Minimised, the size it comes back with changes.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window_, &placement)) {
      placement.rcNormalPosition.right = placement.rcNormalPosition.left + width;
      placement.rcNormalPosition.bottom = placement.rcNormalPosition.top + height;
      SetWindowPlacement(window_, &placement);
    }
    return;
  }
  constexpr UINT kInPlace = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(window_, nullptr, 0, 0, width, height, kInPlace);
  // A menu bar that wraps onto a second row takes client height; give it back.
  const SIZE wanted = layout::ClientSize(scale_);
  RECT client{};
  if (GetClientRect(window_, &client) &&
      (client.right != wanted.cx || client.bottom != wanted.cy)) {
    SetWindowPos(window_, nullptr, 0, 0, width + wanted.cx - client.right,
                 height + wanted.cy - client.bottom, kInPlace);
  }
}

void MainWindow::Load() {
  Gem::SetTopMost(window_, true);
  link_.StartLink();
}

void MainWindow::Show(int showCommand) {
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
  SetFocus(Control(IDC_TXTHOST));
}

int MainWindow::RunMessageLoop() {
  MSG message{};
  int status = 0;
  // Ends with the window too: a library that handles messages inside its calls may
  // keep the quit request for itself.
  while (window_ != nullptr) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      status = static_cast<int>(message.wParam);
      break;
    }
    if (got == -1) {
      throw std::runtime_error("the message loop failed");
    }
    Dispatch(message);
  }
  if (failure_) {
    std::rethrow_exception(failure_);
  }
  return status;
}

void MainWindow::Dispatch(MSG& message) {
  // The keys Kelto answers itself, then the dialog manager's (Tab and access keys),
  // while the window is there to take them.
  if (window_ != nullptr &&
      (keyboard::Handle(window_, message, Control(IDC_TXTHOST), FrameAccessKey()) ||
       IsDialogMessageW(window_, &message))) {
    return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    // The window's last message: this object lets go of it, and the default handling
    // frees what the system keeps for it.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    self->savedFocus_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // No exception may unwind through the system's frames: keep it for the message
    // loop to raise, and close the window, which ends the loop.
    if (!self->failure_) {
      self->failure_ = std::current_exception();
    }
    if (self->window_ != nullptr) {
      DestroyWindow(self->window_);
    }
    return 0;
  }
}

void MainWindow::SaveFocus() {
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(window_, focus)) {
    savedFocus_ = focus;
  }
}

void MainWindow::RestoreFocus() {
  SetFocus(savedFocus_ != nullptr && IsChild(window_, savedFocus_) ? savedFocus_
                                                                   : Control(IDC_TXTHOST));
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Menu items and button clicks both notify with code 0.
      if (HIWORD(wParam) == 0) {
        OnCommand(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam), HIWORD(wParam) != 0);
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        SaveFocus();
      }
      break;
    case WM_SETFOCUS:
      if (!IsIconic(window_)) {
        RestoreFocus();
      }
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == NM_CUSTOMDRAW && IsIndicator(static_cast<int>(header->idFrom))) {
        return DrawIndicatorFocus(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
      }
      break;
    }
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
      dragged_ = message == WM_ENTERSIZEMOVE;
      break;
    case kGetDpiScaledSize:
      *reinterpret_cast<SIZE*>(lParam) = FrameSizeAt(static_cast<UINT>(wParam));
      return TRUE;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SETTINGCHANGE:
      OnSettingChange();
      break;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

// The window goes: a request repeating inside a library call that handles messages
// ends there, clicks still waiting are dropped, and the message loop ends.
void MainWindow::OnDestroy() {
  link_.Close();
  clicks_.Drop();
  PostQuitMessage(failure_ ? 1 : 0);
}

// The focus stays where the user left it: kept when the window is deactivated or
// minimised, given back when it is activated or restored, or when the window itself is
// given the focus.
void MainWindow::OnActivate(WORD state, bool minimised) {
  if (state == WA_INACTIVE) {
    SaveFocus();
  } else if (!minimised) {
    RestoreFocus();
  }
}

// Another monitor's scale. Windows 10 1703 and later ask the size first and suggest a
// rectangle of that size; earlier ones scale the rectangle linearly, caption and menu
// bar included, and at the new DPI the menu bar may take another row. So the suggested
// position is taken, the size is the layout's, and the window stays on the monitor,
// unless the user is dragging it there.
void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  LayOutAt(dpi);
  // Moved and sized in one step; then fitted to a menu bar that wraps at the new DPI.
  const RECT frame = FrameFor(scale_);
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SizeToLayout();
  if (!dragged_) {
    KeepOnWorkArea();
  }
}

// Windows tells every program of many settings (a light or dark theme, policies,
// the environment): only a new message font, or a new line height, changes the layout.
void MainWindow::OnSettingChange() {
  auto [font, scale] = FontAndScale(scale_.Dpi());
  if (!font || dpi::SameFont(font.get(), font_.get())) {
    return;
  }
  ApplyLayout(std::move(font), scale);
  SizeToLayout();
  KeepOnWorkArea();
}

void MainWindow::OnCommand(int id) {
  switch (id) {
    case IDC_COMMAND1:
    case IDC_COMMAND2:
    case IDC_COMMAND3:
    case IDC_COMMAND4:
    case IDC_COMMAND5:
      clicks_.Click(id);
      break;
    case IDM_STAY:
      OnStayOnTop();
      break;
    case IDM_EXIT:
      // The link is left as it is; it ends with the process.
      DestroyWindow(window_);
      break;
    default:
      break;
  }
}

void MainWindow::OnButton(int id) {
  if (window_ == nullptr) {
    return;  // clicked before the window went, waiting for a library call till then
  }
  switch (id) {
    case IDC_COMMAND1:
      choices_.OnChoice(Choice::Rock);
      break;
    case IDC_COMMAND2:
      choices_.OnChoice(Choice::Paper);
      break;
    case IDC_COMMAND3:
      choices_.OnChoice(Choice::Scissors);
      break;
    case IDC_COMMAND4:
      lastGetHostClick_ = GetTickCount64();
      discovery_.OnGetHost();
      break;
    case IDC_COMMAND5:
      choices_.OnRandomSelect();
      break;
    default:
      break;
  }
}

void MainWindow::OnStayOnTop() {
  const HMENU menu = GetMenu(window_);
  const bool wasChecked = (GetMenuState(menu, IDM_STAY, MF_BYCOMMAND) & MF_CHECKED) != 0;
  CheckMenuItem(menu, IDM_STAY, MF_BYCOMMAND | (wasChecked ? MF_UNCHECKED : MF_CHECKED));
  Gem::SetTopMost(window_, (GetMenuState(menu, IDM_STAY, MF_BYCOMMAND) & MF_CHECKED) != 0);
}

HWND MainWindow::Control(int id) const {
  return GetDlgItem(window_, id);
}

}  // namespace kelto
