#pragma once

// The link to the chat client: its state, filled by the library's callbacks,
// the start of the link and the two request procedures with their result-code loop.

#include <chrono>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "link/dapi_library.h"
#include "link/platform.h"

namespace kelto {

struct LinkState {
  std::u16string DapiResult;
  std::u16string DapiAllText;
  std::u16string DapiMsgText1;
  std::u16string DapiMsgText2;
  std::int16_t DapiMsgNumber = 0;
};

// How long a request may keep repeating before the user is told and it is given up.
// No real exchange comes near these; they only stop a library that never finishes.
struct RequestBound {
  int maxCalls = 100;
  std::chrono::milliseconds maxTime{5000};
  std::chrono::milliseconds pause{10};
};

class ModDapi final : public LinkCallbacks {
 public:
  ModDapi(DapiLibrary& library, const AnsiCodec& codec, const AppNameSource& appName, Clock& clock,
          UserNotice& notice, RequestBound bound = {});
  ModDapi(const ModDapi&) = delete;
  ModDapi& operator=(const ModDapi&) = delete;

  // Returns with the link up, or throws RunTimeError 10001.
  void StartLink();

  // Both return once the result-code loop has finished.
  void Communicate(std::int32_t command, std::u16string text1, std::u16string text2);
  void GetAllText();

  const LinkState& State() const { return state_; }
  void EmptyAllText() { state_.DapiAllText.clear(); }

  // Raises, on the caller's side, an error a callback could not raise itself.
  void RethrowCallbackFailure();

  void OnDapiResult(std::string_view text) override;
  void OnDapiMessage(std::string_view text1, std::int16_t number, std::string_view text2) override;
  void OnDapiAllText(std::string_view text) override;
  void OnCallbackFailure(std::exception_ptr error) override;

 private:
  template <typename Request>
  void RunResultCodeLoop(Request&& request);
  std::string NarrowAppName() const;

  DapiLibrary& library_;
  const AnsiCodec& codec_;
  const AppNameSource& appName_;
  Clock& clock_;
  UserNotice& notice_;
  RequestBound bound_;
  LinkState state_;
  std::exception_ptr callbackFailure_;
};

// The text of a chat-text callback once the library's trailer and final line breaks are gone.
std::u16string NormaliseAllText(std::u16string text);

// What the user is told when a request is given up.
std::u16string RequestGivenUpText(std::u16string_view lastCode);

}  // namespace kelto
