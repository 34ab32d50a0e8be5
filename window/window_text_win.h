#pragma once

// Text as the window system handles it.

#include <windows.h>

#include <string>
#include <string_view>

namespace kelto {

// A window's or control's whole text, however long.
std::wstring WindowText(HWND window);

// The system's simple, character-for-character lower-case mapping.
std::u16string LowerCase(std::u16string_view text);

}  // namespace kelto
