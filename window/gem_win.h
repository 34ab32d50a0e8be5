#pragma once

#include <windows.h>

namespace kelto::Gem {

// Moves the window into the topmost band, or out of it, keeping position and size.
void SetTopMost(HWND window, bool onTop);

}  // namespace kelto::Gem
