#pragma once

#include <windows.h>

#include <string>

namespace kelto {

// A window's or control's whole text, however long.
std::wstring WindowText(HWND window);

}  // namespace kelto
