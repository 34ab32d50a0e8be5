#include "link/module_file_win.h"

#include "link/file_path.h"
#include "link/wide_text_win.h"

namespace kelto {

std::wstring ModuleFileName(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return {};
    }
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: try again with room for a longer path
  }
}

std::wstring ModuleFolder(HMODULE module) {
  return ToWide(FolderOfPath(FromWide(ModuleFileName(module))));
}

}  // namespace kelto
