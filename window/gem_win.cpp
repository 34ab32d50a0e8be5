#include "window/gem_win.h"

namespace kelto::Gem {

void SetTopMost(HWND window, bool onTop) {
  // A failure leaves the band as it was; there is nothing better to do about it.
  SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

}  // namespace kelto::Gem
