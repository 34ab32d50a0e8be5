#include "window/layout_win.h"

#include <commctrl.h>

#include <algorithm>

#include "resources/resource.h"

namespace kelto::layout {
namespace {

constexpr int kFrameLeft = 120;
constexpr int kFrameTop = 1560;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
// The arrow keys move within a group: the three choice buttons, and the three
// indicators beside them. Every other control is a group of its own, the frame
// included, so that no arrow ever leaves the focus on the frame, which takes none.
constexpr DWORD kGroupStart = WS_GROUP;
// Text1 and lstAvatars lie outside the client area. They are hidden as well, and take
// no tab stop, so that neither the focus nor a screen reader ever lands on them.
constexpr DWORD kUnseen = WS_CHILD;

}  // namespace

// Each caption's access key is unique in the window, the menu bar's included ("&File",
// "&Settings"): Alt and the key does what a click does. The frame's moves the focus to
// the host field, the control after it.
const std::array<ControlSpec, 13> kControls{{
    {IDC_FRAME1, WC_BUTTONW, L"&Host", kChild | kGroupStart | BS_GROUPBOX, 0, kFrameLeft, kFrameTop,
     1695, 975},
    {IDC_TXTHOST, WC_EDITW, L"", kChild | kGroupStart | WS_TABSTOP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE, kFrameLeft + 120, kFrameTop + 240, 1455, 285},
    {IDC_COMMAND1, WC_BUTTONW, L"&Rock", kButton | kGroupStart, 0, 120, 120, 1335, 255},
    {IDC_COMMAND2, WC_BUTTONW, L"&Paper", kButton, 0, 120, 420, 1335, 255},
    {IDC_COMMAND3, WC_BUTTONW, L"S&cissors", kButton, 0, 120, 720, 1335, 255},
    {IDC_COMMAND4, WC_BUTTONW, L"&Get Host", kButton | kGroupStart, 0, kFrameLeft + 120,
     kFrameTop + 600, 1455, 255},
    {IDC_LSTAVATARS, WC_LISTBOXW, L"", kUnseen | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE, 2520, 360, 915, 645},
    {IDC_CHECK1, WC_BUTTONW, L"", kCheckBox | kGroupStart, 0, 1560, 120, 255, 255},
    {IDC_CHECK2, WC_BUTTONW, L"", kCheckBox, 0, 1560, 420, 255, 255},
    {IDC_CHECK3, WC_BUTTONW, L"", kCheckBox, 0, 1560, 720, 255, 255},
    {IDC_COMMAND5, WC_BUTTONW, L"Ra&ndom Select", kButton | kGroupStart, 0, 120, 1020, 1695, 255},
    {IDC_TEXT1, WC_EDITW, L"", kUnseen | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 120, 2640, 1215, 285},
    {IDC_CHECK4, WC_BUTTONW, L"&Auto Send", kCheckBox | kGroupStart, 0, 360, 1320, 1335, 255},
}};

Scale::Scale(UINT dpi, int lineHeight)
    // Rounded up, so that the 8-point font itself, whose line is rounded to whole
    // pixels too, never counts as larger.
    : dpi_(dpi), drawnLineHeight_((13 * static_cast<int>(dpi) + 95) / 96) {
  lineHeight_ = std::max(lineHeight, drawnLineHeight_);
}

int Scale::Pixels(int twips) const {
  return MulDiv(twips, static_cast<int>(dpi_) * lineHeight_, 1440 * drawnLineHeight_);
}

SIZE ClientSize(const Scale& scale) {
  return {scale.Pixels(kClientWidthTwips), scale.Pixels(kClientHeightTwips)};
}

}  // namespace kelto::layout
