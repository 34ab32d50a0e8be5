#include "link/gem.h"

#include <utility>

namespace kelto::Gem {

namespace {
constexpr std::int32_t kCommandDeliverToAvatar = 2;
}

RequestOutcome SendToAvatar(ModDapi& link, std::u16string name, std::u16string text) {
  return link.Communicate(kCommandDeliverToAvatar, std::move(name), std::move(text));
}

}  // namespace kelto::Gem
