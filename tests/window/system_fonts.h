#pragma once

// The system's message font changed for a test, and back.

#include <windows.h>

#include <functional>

namespace kelto::window_testing {

// The system's fonts changed for as long as it lives: programs started meanwhile read
// them, and running ones are told.
class SystemFonts {
 public:
  explicit SystemFonts(const std::function<void(NONCLIENTMETRICSW&)>& change) {
    saved_.cbSize = sizeof saved_;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved_, &saved_, 0)) {
      return;
    }
    NONCLIENTMETRICSW changed = saved_;
    change(changed);
    set_ = SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof changed, &changed,
                                 SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
  }
  ~SystemFonts() {
    if (set_) {
      SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof saved_, &saved_,
                            SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
  }
  SystemFonts(const SystemFonts&) = delete;
  SystemFonts& operator=(const SystemFonts&) = delete;
  bool Set() const { return set_; }

 private:
  NONCLIENTMETRICSW saved_{};
  bool set_ = false;
};

// A message font of Tahoma whose em is `pixels` at 96 DPI: 13 gives a 16-pixel line,
// as Windows' own Segoe UI 9 pt does; 26 is that text made twice as big; 0 keeps the
// display's own.
inline std::function<void(NONCLIENTMETRICSW&)> MessageFontOf(int pixels, int dpi) {
  return [=](NONCLIENTMETRICSW& metrics) {
    if (pixels == 0) {
      return;
    }
    metrics.lfMessageFont.lfHeight = -MulDiv(pixels, dpi, 96);
    lstrcpynW(metrics.lfMessageFont.lfFaceName, L"Tahoma", LF_FACESIZE);
  };
}

}  // namespace kelto::window_testing
