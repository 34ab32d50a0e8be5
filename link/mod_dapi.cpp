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

ModDapi::ModDapi(DapiLibrary& library, const AnsiCodec& codec, const AppNameSource& appName,
                 Clock& clock, UserNotice& notice, RequestBound bound)
    : library_(library),
      codec_(codec),
      appName_(appName),
      clock_(clock),
      notice_(notice),
      bound_(bound) {}

std::string ModDapi::NarrowAppName() const {
  return codec_.Narrow(appName_.AppName());
}

void ModDapi::StartLink() {
  const std::string name = NarrowAppName();
  const std::int16_t answer = library_.InitDDE(name.c_str(), *this);
  RethrowCallbackFailure();
  if (answer != 0) {
    throw RunTimeError(kErrorLinkRefused, appName_.AppName(), kLinkRefusedDescription);
  }
}

template <typename Request>
void ModDapi::RunResultCodeLoop(Request&& request) {
  const auto start = clock_.Now();
  for (int calls = 1;; ++calls) {
    request();
    RethrowCallbackFailure();
    // A copy: showing the notice runs a message loop in which callbacks may come.
    const std::u16string code = state_.DapiResult;
    if (EndsTheLoop(code)) {
      return;
    }
    if (calls >= bound_.maxCalls || clock_.Now() - start >= bound_.maxTime) {
      notice_.Show(RequestGivenUpText(code));
      return;
    }
    if (code == u"10") {
      library_.DapiRegister(NarrowAppName().c_str());
      RethrowCallbackFailure();
    }
    clock_.Sleep(bound_.pause);
  }
}

void ModDapi::Communicate(std::int32_t command, std::u16string text1, std::u16string text2) {
  RunResultCodeLoop([&] {
    const std::string name = NarrowAppName();
    std::vector<char> buffer1 = RequestBuffer(codec_.Narrow(text1));
    std::vector<char> buffer2 = RequestBuffer(codec_.Narrow(text2));
    library_.DapiCommunicate(name.c_str(), static_cast<std::int16_t>(command), buffer1.data(),
                             buffer2.data());
    // The library may have rewritten the buffers; a repetition sends them as they now stand.
    text1 = codec_.Widen(BufferText(buffer1));
    text2 = codec_.Widen(BufferText(buffer2));
  });
}

void ModDapi::GetAllText() {
  RunResultCodeLoop([&] { library_.DapiGetAllText(NarrowAppName().c_str()); });
}

void ModDapi::RethrowCallbackFailure() {
  if (callbackFailure_) {
    std::rethrow_exception(std::exchange(callbackFailure_, nullptr));
  }
}

void ModDapi::OnDapiResult(std::string_view text) {
  state_.DapiResult = codec_.Widen(text);
}

void ModDapi::OnDapiMessage(std::string_view text1, std::int16_t number, std::string_view text2) {
  state_.DapiMsgText1 = codec_.Widen(text1);
  state_.DapiMsgText2 = codec_.Widen(text2);
  state_.DapiMsgNumber = number;
}

void ModDapi::OnDapiAllText(std::string_view text) {
  state_.DapiAllText = NormaliseAllText(codec_.Widen(text));
}

void ModDapi::OnCallbackFailure(std::exception_ptr error) {
  if (!callbackFailure_) {
    callbackFailure_ = std::move(error);
  }
}

std::u16string NormaliseAllText(std::u16string text) {
  // The library ends its text with a NUL and a trailer; the cut also takes the four
  // characters before the NUL, which the library counts as part of that trailer.
  const std::size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) {
    const std::size_t position = nul + 1;
    if (position > 5) {
      text.resize(position - 5);
    }
  }
  while (text.size() >= 2 && text.compare(text.size() - 2, 2, u"\r\n") == 0) {
    text.resize(text.size() - 2);
  }
  return text;
}

std::u16string RequestGivenUpText(std::u16string_view lastCode) {
  std::u16string text = u"The chat client did not finish the request; it was given up. ";
  text += u"Last result code: \"";
  text += lastCode;
  text += u"\".";
  return text;
}

}  // namespace kelto
