#include "window/host_discovery.h"

#include <algorithm>
#include <optional>

namespace kelto {
namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";
constexpr std::u16string_view kPrefixTo = u"ESP to";
constexpr std::u16string_view kPrefixFrom = u"ESP from";
constexpr std::u16string_view kSystemSender = u"<system>";

// Drops a private-message prefix and the one character that separates it from the name.
std::u16string_view WithoutPrefix(std::u16string_view line) {
  for (const std::u16string_view prefix : {kPrefixTo, kPrefixFrom}) {
    if (line.substr(0, prefix.size()) == prefix) {
      line.remove_prefix(std::min(prefix.size() + 1, line.size()));
      return line;
    }
  }
  return line;
}

}  // namespace

bool IsInList(std::u16string_view name, const AvatarList& list, const TextCase& textCase) {
  const int count = list.Count();
  if (count <= 0) {
    return false;
  }
  const std::u16string lowerName = textCase.Lower(name);
  for (int index = 0; index < count; ++index) {
    if (textCase.Lower(list.Entry(index)) == lowerName) {
      return true;
    }
  }
  return false;
}

void FindHost(std::u16string text, HostControls& controls, Tokenizer& tokenizer,
              const TextCase& textCase) {
  AvatarList& avatars = controls.Avatars();
  avatars.Clear();
  // Each qualifying line overwrites the host; nothing can look in between, so only
  // the last one is written to the field.
  std::optional<std::u16string> host;
  for (std::u16string line = tokenizer.GetToken(std::move(text), kLineBreak); !line.empty();
       line = tokenizer.GetToken({}, kLineBreak)) {
    const std::u16string_view rest = WithoutPrefix(line);
    const std::size_t found = rest.find(kAnnouncement);
    if (found == std::u16string_view::npos) {
      continue;
    }
    const std::u16string_view name = rest.substr(0, found);
    if (name != kSystemSender && !IsInList(name, avatars, textCase)) {
      host.emplace(name);
    }
  }
  if (host) {
    controls.SetHostText(*host);
  }
}

HostDiscovery::HostDiscovery(ModDapi& link, HostControls& controls, Tokenizer& tokenizer,
                             const TextCase& textCase, ChatTextWait& wait, UserNotice& notice)
    : link_(link),
      controls_(controls),
      tokenizer_(tokenizer),
      textCase_(textCase),
      wait_(wait),
      notice_(notice) {}

void HostDiscovery::OnGetHost() {
  link_.EmptyAllText();
  link_.GetAllText();
  const ChatTextWait::Outcome outcome = wait_.WaitWhile([this] {
    link_.RethrowCallbackFailure();
    return link_.State().DapiAllText.empty();
  });
  switch (outcome) {
    case ChatTextWait::Outcome::Arrived:
      FindHost(link_.State().DapiAllText, controls_, tokenizer_, textCase_);
      break;
    case ChatTextWait::Outcome::TimedOut:
      notice_.Show(kNoChatTextNotice);
      break;
    case ChatTextWait::Outcome::WindowGone:
      // The window is destroyed; nothing may touch it any more.
      break;
  }
}

}  // namespace kelto
