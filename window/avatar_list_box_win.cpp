#include "window/avatar_list_box_win.h"

#include <vector>

#include "link/wide_text_win.h"

namespace kelto {

void AvatarListBox::Clear() {
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
}

int AvatarListBox::Count() const {
  const LRESULT count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::u16string AvatarListBox::Entry(int index) const {
  const LRESULT length = SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR || length <= 0) {
    return {};
  }
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const LRESULT copied = SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(buffer.data()));
  return copied == LB_ERR
             ? std::u16string()
             : FromWide(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied)));
}

}  // namespace kelto
