#pragma once

// DPI queries that use the per-monitor functions where the system has them and
// fall back to the system DPI elsewhere.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace kelto::dpi {

struct FontDeleter {
  void operator()(HFONT font) const {
    if (font != nullptr) {
      DeleteObject(font);
    }
  }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

struct IconDeleter {
  void operator()(HICON icon) const {
    if (icon != nullptr) {
      DestroyIcon(icon);
    }
  }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

UINT SystemDpi();
UINT ForWindow(HWND window);

// The window rectangle whose client area has the given size at the given DPI.
RECT WindowRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// The system's message font, at the given DPI.
UniqueFont MessageFont(UINT dpi);

// The height of a line of the font in pixels; 0 where it cannot be measured.
int LineHeight(HFONT font);

// Whether two fonts are made alike and have the same line height: a change of the
// system's settings that leaves them so needs no new layout.
bool SameFont(HFONT first, HFONT second);

// A system metric (SM_CXSMICON, ...) at the given DPI.
int Metric(int index, UINT dpi);

// The icon resource at the size the system shows a small icon (the caption's) or a
// large one (Alt+Tab's) at the given DPI; null where it cannot be loaded.
UniqueIcon IconAt(HINSTANCE instance, int id, bool small, UINT dpi);

}  // namespace kelto::dpi
