#pragma once

// The window's controls as laid out in twips (1/1440 inch), and their conversion
// to pixels at the window's DPI and for the user's text size.

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

// Twips to pixels. The layout was drawn for an 8-point message font, a 13-pixel line
// at 96 DPI; a message font with a taller line (Windows' own, or text the user made
// bigger) scales every position and size by its line height against that one, so
// that the window grows with the text and keeps its proportions. A shorter line keeps
// the drawn size.
class Scale {
 public:
  Scale(UINT dpi, int lineHeight);
  int Pixels(int twips) const;
  UINT Dpi() const { return dpi_; }

 private:
  UINT dpi_;
  int lineHeight_;       // never below drawnLineHeight_
  int drawnLineHeight_;  // the 8-point line at this DPI, in whole pixels
};

// The client area's size.
SIZE ClientSize(const Scale& scale);

}  // namespace kelto::layout
