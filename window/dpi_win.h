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

UINT SystemDpi();
UINT ForWindow(HWND window);

// The window rectangle whose client area has the given size at the given DPI.
RECT WindowRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// The system's message font, at the given DPI.
UniqueFont MessageFont(UINT dpi);

// The height of a line of the font in pixels; 0 where it cannot be measured.
int LineHeight(HFONT font);

}  // namespace kelto::dpi
