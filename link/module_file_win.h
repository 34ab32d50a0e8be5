#pragma once

// The full file name of a loaded module, and its folder, however long its path.

#include <windows.h>

#include <string>

namespace kelto {

// The file name of `module` (null: the running executable); empty if the system
// cannot tell it.
std::wstring ModuleFileName(HMODULE module);

// The folder that holds `module`'s file, with no separator at its end unless it is a
// root ("E:\"); empty if the system cannot tell it.
std::wstring ModuleFolder(HMODULE module);

}  // namespace kelto
