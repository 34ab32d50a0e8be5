#include "link/mod_dapi.h"

#include <utility>
#include <vector>

#include "link/run_time_error.h"

namespace kelto {
namespace {

// A writable copy of the text for the library: its bytes and a terminating NUL.
std::vector<char> RequestBuffer(const std::string& bytes) {
  std::vector<char> buffer(bytes.begin(), bytes.end());
  buffer.push_back('\0');
  return buffer;
}

// The whole buffer as it stands after the call, up to but not including the terminator.
std::string_view BufferText(const std::vector<char>& buffer) {
  return {buffer.data(), buffer.size() - 1};
}

bool EndsTheLoop(std::u16string_view code) {
  return code == u"0" || code == u"-1" || code.empty();
}

}  // namespace

ModDapi::ModDapi(DapiLibrary& library, LinkSystem& system, RequestBound bound)
    : library_(library), system_(system), bound_(bound) {}

template <typename Call>
auto ModDapi::CallLibrary(Call&& call) {
  struct InProgress {
    explicit InProgress(int& count) : count_(count) { ++count_; }
    ~InProgress() { --count_; }
    InProgress(const InProgress&) = delete;
    InProgress& operator=(const InProgress&) = delete;
    int& count_;
  } inProgress(callsInProgress_);
  return call();
}

std::string ModDapi::NarrowAppName() const {
  return system_.Narrow(system_.AppName());
}

std::u16string LinkRefusedAdvice(LinkSystem::Elevation elevation) {
  // Windows keeps window messages, and so the link, from crossing between a program
  // that runs elevated and one that does not.
  std::u16string advice =
      elevation == LinkSystem::Elevation::Full ? u"Kelto is running as administrator. " : u"";
  advice +=
      u"The chat client is not running, or has not started its link. A chat client running "
      u"as administrator cannot be reached from a Kelto that is not, nor the other way "
      u"round. Start the chat client, then start Kelto again.";
  return advice;
}

void ModDapi::StartLink() {
  const std::string name = NarrowAppName();
  const std::int16_t answer = CallLibrary([&] { return library_.InitDDE(name.c_str(), *this); });
  RethrowCallbackFailure();
  if (answer != 0) {
    throw RunTimeError(kErrorLinkRefused, system_.AppName(), kLinkRefusedDescription,
                       LinkRefusedAdvice(system_.TokenElevation()));
  }
}

template <typename Request>
RequestOutcome ModDapi::RunResultCodeLoop(Request&& request) {
  using End = RequestOutcome::End;
  const auto start = system_.Now();
  for (int calls = 1;; ++calls) {
    if (closed_) {
      return {End::LinkClosed, state_.DapiResult};
    }
    // A failure left behind between requests (a late chat text that could not be
    // stored) ends the program before another move goes out unseen.
    RethrowCallbackFailure();
    request();
    RethrowCallbackFailure();
    std::u16string code = state_.DapiResult;
    if (EndsTheLoop(code)) {
      return {End::Finished, std::move(code)};
    }
    if (closed_) {
      return {End::LinkClosed, std::move(code)};
    }
    if (calls >= bound_.maxCalls || system_.Now() - start >= bound_.maxTime) {
      return {End::GivenUp, std::move(code)};
    }
    if (code == u"10") {
      const std::string name = NarrowAppName();
      CallLibrary([&] { library_.DapiRegister(name.c_str()); });
      RethrowCallbackFailure();
    }
    system_.Sleep(bound_.pause);
  }
}

RequestOutcome ModDapi::Communicate(std::int32_t command, std::u16string text1,
                                    std::u16string text2) {
  // The code page would put a look-alike or "?" in place of such characters, and the
  // text would reach another avatar than the one the user sees named.
  std::u16string uncarried = system_.Uncarried(text1) + system_.Uncarried(text2);
  if (!uncarried.empty()) {
    return {.end = RequestOutcome::End::CannotCarry, .lastCode = {}, .uncarried = uncarried};
  }
  return RunResultCodeLoop([&] {
    const std::string name = NarrowAppName();
    std::vector<char> buffer1 = RequestBuffer(system_.Narrow(text1));
    std::vector<char> buffer2 = RequestBuffer(system_.Narrow(text2));
    CallLibrary([&] {
      library_.DapiCommunicate(name.c_str(), static_cast<std::int16_t>(command), buffer1.data(),
                               buffer2.data());
    });
    // The library may have rewritten the buffers; a repetition sends them as they now stand.
    text1 = system_.Widen(BufferText(buffer1));
    text2 = system_.Widen(BufferText(buffer2));
  });
}

RequestOutcome ModDapi::GetAllText() {
  return RunResultCodeLoop([&] {
    const std::string name = NarrowAppName();
    CallLibrary([&] { library_.DapiGetAllText(name.c_str()); });
  });
}

void ModDapi::EmptyAllText() {
  std::u16string().swap(state_.DapiAllText);  // clear() would keep the memory
}

bool ModDapi::HasAllText() {
  RethrowCallbackFailure();
  return !state_.DapiAllText.empty();
}

std::u16string ModDapi::TakeAllText() {
  return std::exchange(state_.DapiAllText, {});
}

void ModDapi::RethrowCallbackFailure() {
  if (callbackFailure_) {
    std::rethrow_exception(std::exchange(callbackFailure_, nullptr));
  }
}

void ModDapi::OnDapiResult(std::string_view text) {
  state_.DapiResult = system_.Widen(text);
}

// The library's messages tell Kelto nothing it acts on.
void ModDapi::OnDapiMessage(std::string_view, std::int16_t, std::string_view) {}

void ModDapi::OnDapiAllText(std::string_view text) {
  EmptyAllText();  // first, so that a large text is not held twice
  state_.DapiAllText = NormaliseAllText(system_, text);
}

void ModDapi::OnCallbackFailure(std::exception_ptr error) {
  if (!callbackFailure_) {
    callbackFailure_ = std::move(error);
  }
}

std::u16string GivenUpReason(std::u16string_view lastCode) {
  if (lastCode == u"6") {
    return u"the chat client stayed busy";
  }
  if (lastCode == u"10") {
    return u"the chat client kept asking Kelto to register";
  }
  return u"the chat client kept answering \"" + std::u16string(lastCode) + u"\"";
}

}  // namespace kelto
