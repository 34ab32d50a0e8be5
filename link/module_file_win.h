#pragma once

// The full file name of a loaded module, however long its path.

#include <windows.h>

#include <string>

namespace kelto {

// The file name of `module` (null: the running executable); empty if the system
// cannot tell it.
std::wstring ModuleFileName(HMODULE module);

}  // namespace kelto
