#pragma once

// The message boxes Kelto shows: captioned with the application name, owned by
// Kelto's window where there is one, with the icon that fits.

#include <windows.h>

#include <string_view>

#include "link/run_time_error.h"

namespace kelto {

// Something went wrong, and Kelto carries on.
void ShowWarning(HWND owner, std::u16string_view caption, std::u16string_view text);

// The failure that ends the program, captioned with its source.
void ShowFatalError(HWND owner, const RunTimeError& error);

}  // namespace kelto
