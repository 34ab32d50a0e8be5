#pragma once

// Text in the system's ANSI code page (CP_ACP), both ways, every byte and character
// converted, embedded NULs included.

#include <string>
#include <string_view>

namespace kelto {

std::string NarrowToAnsi(std::u16string_view text);
std::u16string WidenFromAnsi(std::string_view bytes);

}  // namespace kelto
