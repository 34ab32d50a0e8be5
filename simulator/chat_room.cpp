#include "simulator/chat_room.h"

#include "chat_common/default_chat.h"

namespace kelto::simulator {

ChatRoom::ChatRoom() {
  for (const char* line : chat_protocol::kDefaultChatLines) {
    lines_.emplace_back(line, line + std::char_traits<char>::length(line));
  }
}

void ChatRoom::Say(std::u16string line) {
  lines_.push_back(std::move(line));
}

std::u16string ChatRoom::Text() const {
  std::u16string text;
  for (const std::u16string& line : lines_) {
    text += line;
    text += u"\r\n";
  }
  return text;
}

std::string ChatRoom::Judge(Request request, const std::string& application,
                            const LinkBehaviour& behaviour) {
  if (request == Request::Register) {
    registered_.insert(application);
    return "0";
  }
  if (busyAnswered_ < behaviour.busyTimes) {
    ++busyAnswered_;
    return "6";
  }
  busyAnswered_ = 0;
  if (behaviour.demandRegistration && registered_.count(application) == 0) {
    return "10";
  }
  return "0";
}

std::u16string ChatRoom::DeliveredLine(const std::u16string& avatar, const std::u16string& text) {
  return u"ESP to " + avatar + u": " + text;
}

}  // namespace kelto::simulator
