#pragma once

// A picture of a window as it stands on the screen, for the README.

#include <windows.h>

#include <string>

namespace kelto::window_testing {

// Writes the window's pixels, frame and all, as a PNG file; false if it could not.
bool SaveWindowPicture(HWND window, const std::wstring& path);

}  // namespace kelto::window_testing
