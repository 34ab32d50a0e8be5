#pragma once

#include <windows.h>

#include "window/game_window.h"

namespace kelto {

// The list box lstAvatars, as host discovery consults it.
class AvatarListBox final : public AvatarList {
 public:
  void Attach(HWND list) { list_ = list; }

  void Clear() override;
  int Count() const override;
  std::u16string Entry(int index) const override;

 private:
  HWND list_ = nullptr;
};

}  // namespace kelto
