#pragma once

// Paths as the system gives them, taken apart without asking the system.

#include <string_view>

namespace kelto {

// The folder that holds the file `path` names; empty if the path names no folder. A
// root keeps its separator ("E:\"): "E:" alone names that drive's current folder.
std::u16string_view FolderOfPath(std::u16string_view path);

}  // namespace kelto
