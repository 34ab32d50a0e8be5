#pragma once

// The link to the chat client: its state, filled by the library's callbacks, the
// start of the link and the two request procedures with their result-code loop.

#include <chrono>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "link/dapi_library.h"
#include "link/link_system.h"

namespace kelto {

struct LinkState {
  std::u16string DapiResult;
  std::u16string DapiAllText;
};

// How long a request may keep repeating before it is given up. No real exchange
// comes near these; they only stop a library that never finishes.
struct RequestBound {
  int maxCalls = 100;
  std::chrono::milliseconds maxTime{5000};
  std::chrono::milliseconds pause{10};
};

// How a request's result-code loop ended, for the caller to tell the user.
struct RequestOutcome {
  // CannotCarry: a text holds characters the library's code page lacks, so no
  // request was made rather than one to a look-alike name.
  enum class End : std::uint8_t { Finished, GivenUp, LinkClosed, CannotCarry };
  End end = End::Finished;
  std::u16string lastCode;     // the result code the loop read last
  std::u16string uncarried{};  // with CannotCarry: the characters that cannot be carried
};

inline constexpr char16_t kRefusedCode[] = u"-1";

// What the user is told when the library refuses the link at start.
std::u16string LinkRefusedAdvice(LinkSystem::Elevation elevation);

class ModDapi final : public LinkCallbacks {
 public:
  ModDapi(DapiLibrary& library, LinkSystem& system, RequestBound bound = {});
  ModDapi(const ModDapi&) = delete;
  ModDapi& operator=(const ModDapi&) = delete;

  // Returns with the link up, or throws RunTimeError 10001.
  void StartLink();

  // Both return once the result-code loop has finished.
  RequestOutcome Communicate(std::int32_t command, std::u16string text1, std::u16string text2);
  RequestOutcome GetAllText();

  // The window is gone: no library call is made any more, and a request in
  // progress ends after the call it is in.
  void Close() { closed_ = true; }

  // Whether the library is inside one of Kelto's calls, which it may let window
  // messages run in.
  bool InLibraryCall() const { return callsInProgress_ > 0; }

  const LinkState& State() const { return state_; }
  void EmptyAllText();
  // Whether the chat text is there; first raises any failure a callback left behind.
  bool HasAllText();
  // Hands the chat text over instead of copying it; DapiAllText is empty afterwards.
  std::u16string TakeAllText();

  void OnDapiResult(std::string_view text) override;
  void OnDapiMessage(std::string_view text1, std::int16_t number, std::string_view text2) override;
  void OnDapiAllText(std::string_view text) override;
  void OnCallbackFailure(std::exception_ptr error) override;

 private:
  template <typename Request>
  RequestOutcome RunResultCodeLoop(Request&& request);
  // Makes a library call, known as in progress until it returns or throws.
  template <typename Call>
  auto CallLibrary(Call&& call);
  std::string NarrowAppName() const;
  // Raises, on this side of the library, an error a callback could not raise itself.
  void RethrowCallbackFailure();

  DapiLibrary& library_;
  LinkSystem& system_;
  RequestBound bound_;
  LinkState state_;
  std::exception_ptr callbackFailure_;
  bool closed_ = false;
  int callsInProgress_ = 0;
};

// The text of a chat-text callback, widened by `system`, once the library's trailer
// and final line breaks are gone.
std::u16string NormaliseAllText(const LinkSystem& system, std::string_view bytes);

// Why a request was given up, in the user's words: "the chat client stayed busy".
std::u16string GivenUpReason(std::u16string_view lastCode);

}  // namespace kelto
