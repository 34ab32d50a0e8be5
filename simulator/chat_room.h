#pragma once

// The simulated chat: its lines, and how it answers the requests that come over
// the link, misbehaving as a tester asks.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace kelto::simulator {

struct LinkBehaviour {
  bool refuseLink = false;
  bool demandRegistration = false;
  int busyTimes = 0;         // each request is answered "6" this often first
  unsigned textDelayMs = 0;  // the chat text comes this much after it is asked for
  bool neverDeliverText = false;
};

enum class Request : std::uint8_t { Register, Deliver, GetAllText };

class ChatRoom {
 public:
  ChatRoom();

  void Say(std::u16string line);
  const std::vector<std::u16string>& Lines() const { return lines_; }
  // Every line followed by CR LF, as the chat client hands its text over.
  std::u16string Text() const;

  // The result code for a request; only a "0" request is carried out.
  std::string Judge(Request request, const std::string& application,
                    const LinkBehaviour& behaviour);

  // What the user's own chat client shows for a text sent to an avatar.
  static std::u16string DeliveredLine(const std::u16string& avatar, const std::u16string& text);

 private:
  std::vector<std::u16string> lines_;
  std::set<std::string> registered_;
  int busyAnswered_ = 0;
};

}  // namespace kelto::simulator
