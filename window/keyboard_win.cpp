#include "window/keyboard_win.h"

#include <cwctype>

namespace kelto::keyboard {
namespace {

constexpr LPARAM kRepeatBit = LPARAM{1} << 30;  // WM_KEYDOWN: the key was down already

// What the focused control takes of the keyboard, as the dialog manager asks it.
LRESULT DialogCode(HWND focus, const MSG& message) {
  return SendMessageW(focus, WM_GETDLGCODE, message.wParam,
                      reinterpret_cast<LPARAM>(const_cast<MSG*>(&message)));
}

bool IsArrow(WPARAM key) {
  return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

void FocusWithCue(HWND window, HWND control) {
  // Moved by the keyboard: the focus cue shows from now on, as after Tab.
  SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  SetFocus(control);
}

}  // namespace

wchar_t AccessKey(const wchar_t* caption) {
  const wchar_t* at = caption != nullptr ? wcschr(caption, L'&') : nullptr;
  return at != nullptr && at[1] != L'\0' ? static_cast<wchar_t>(towupper(at[1])) : L'\0';
}

bool Handle(HWND window, const MSG& message, HWND field, wchar_t fieldKey) {
  if (message.message == WM_SYSCHAR && fieldKey != L'\0' &&
      static_cast<wchar_t>(towupper(static_cast<wint_t>(message.wParam))) == fieldKey &&
      field != nullptr) {
    SendMessageW(field, EM_SETSEL, 0, -1);
    FocusWithCue(window, field);
    return true;
  }
  const HWND focus = GetFocus();
  if (focus == nullptr || !IsChild(window, focus)) {
    return false;
  }
  if (message.message == WM_CHAR) {
    return (DialogCode(focus, message) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) == 0;
  }
  if (message.message != WM_KEYDOWN) {
    return false;
  }
  const LRESULT code = DialogCode(focus, message);
  if (message.wParam == VK_RETURN && (code & DLGC_WANTALLKEYS) == 0) {
    // Without a default button the dialog manager would send IDOK; Enter presses the
    // button that has the focus, and nothing else.
    if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0 &&
        (message.lParam & kRepeatBit) == 0) {
      SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                   reinterpret_cast<LPARAM>(focus));
    }
    return true;
  }
  if (IsArrow(message.wParam) && (code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS)) == 0) {
    const bool back = message.wParam == VK_LEFT || message.wParam == VK_UP;
    const HWND next = GetNextDlgGroupItem(window, focus, back);
    if (next != nullptr && next != focus) {
      FocusWithCue(window, next);
    }
    return true;
  }
  return false;
}

}  // namespace kelto::keyboard
