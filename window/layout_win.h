#pragma once

// The window's controls as laid out in twips (1/1440 inch), and their conversion
// to pixels at the window's DPI.

#include <windows.h>

#include <array>

namespace kelto::layout {

struct ControlSpec {
  int id;
  const wchar_t* className;
  const wchar_t* caption;
  DWORD style;
  DWORD exStyle;
  // Relative to the client area; controls in the "Host" frame have the frame's
  // position added, since they are its siblings rather than its children.
  int left, top, width, height;
};

inline constexpr int kClientWidthTwips = 1905;
inline constexpr int kClientHeightTwips = 2595;

// In tab-index order, which is also creation and z-order.
extern const std::array<ControlSpec, 13> kControls;

inline int TwipsToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

}  // namespace kelto::layout
