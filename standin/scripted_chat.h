#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "standin/chat_backend.h"
#include "standin/scenario.h"

namespace kelto::standin {

// Plays a scenario file, for the deterministic window tests.
class ScriptedChat final : public ChatBackend {
 public:
  ScriptedChat(Scenario scenario, Callbacks callbacks)
      : scenario_(std::move(scenario)), callbacks_(std::move(callbacks)) {}

  short Init(const char* appName) override;
  void Register(const char* appName) override;
  std::optional<std::string> Communicate(const char* appName, short command, char* text1,
                                         char* text2) override;
  std::optional<std::string> GetAllText(const char* appName) override;

 private:
  const std::string& ChatTextOnce();
  void Pump() const;
  std::optional<std::string> Answer();
  static void CALLBACK DeliverLater(HWND, UINT, UINT_PTR timer, DWORD);

  Scenario scenario_;
  Callbacks callbacks_;
  std::size_t requests_ = 0;
  // Made at the first request and kept, as a chat client keeps its chat: a timing of
  // "Get Host" then measures Kelto's work, not the making of the text.
  std::optional<std::string> chatText_;
};

}  // namespace kelto::standin
