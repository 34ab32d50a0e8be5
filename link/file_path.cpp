#include "link/file_path.h"

namespace kelto {

std::u16string_view FolderOfPath(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  if (separator == std::u16string_view::npos) {
    return {};
  }
  const std::u16string_view folder = path.substr(0, separator);
  if (folder.empty() || folder.back() == u':') {
    return path.substr(0, separator + 1);
  }
  return folder;
}

}  // namespace kelto
