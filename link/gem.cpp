#include "link/gem.h"

#include <utility>

namespace kelto::Gem {

namespace {
constexpr std::int32_t kCommandDeliverToAvatar = 2;
}

void SendToAvatar(ModDapi& link, std::u16string name, std::u16string text) {
  link.Communicate(kCommandDeliverToAvatar, std::move(name), std::move(text));
}

}  // namespace kelto::Gem
