#pragma once

// Text in the system's ANSI code page (CP_ACP), both ways, every byte and character
// converted, embedded NULs included.

#include <string>
#include <string_view>

namespace kelto {

// Characters the code page lacks become its default character, never a look-alike.
std::string NarrowToAnsi(std::u16string_view text);
// The characters NarrowToAnsi cannot carry exactly, each once, in order.
std::u16string UncarriedInAnsi(std::u16string_view text);
std::u16string WidenFromAnsi(std::string_view bytes);

}  // namespace kelto
