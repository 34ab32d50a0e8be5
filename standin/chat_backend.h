#pragma once

// What answers the stand-in's calls: a scripted scenario, or the chat-client
// simulator over DDE. Each request returns the result code to hand to
// OnDapiResult, or nullopt for none.

#include <functional>
#include <optional>
#include <string>

namespace kelto::standin {

// Hands a chat text (or a message) to Kelto's callbacks.
struct Callbacks {
  std::function<void(const std::string& text)> allText;
  std::function<void(const std::string& text1, short number, const std::string& text2)> message;
};

class ChatBackend {
 public:
  virtual ~ChatBackend() = default;
  virtual short Init(const char* appName) = 0;
  virtual void Register(const char* appName) = 0;
  virtual std::optional<std::string> Communicate(const char* appName, short command, char* text1,
                                                 char* text2) = 0;
  virtual std::optional<std::string> GetAllText(const char* appName) = 0;
};

}  // namespace kelto::standin
