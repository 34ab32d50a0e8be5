#pragma once

#include <string>

#include "link/mod_dapi.h"

namespace kelto::Gem {

// Delivers text to the named avatar through the chat client.
RequestOutcome SendToAvatar(ModDapi& link, std::u16string name, std::u16string text);

}  // namespace kelto::Gem
