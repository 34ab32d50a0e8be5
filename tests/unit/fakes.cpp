#include "tests/unit/fakes.h"

#include <cstring>

#include "chat_common/call_log.h"

namespace kelto::testing {

using chat_protocol::QuoteBytes;

std::string FakeSystem::Narrow(std::u16string_view text) const {
  std::string bytes;
  for (const char16_t c : text) {
    bytes.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  }
  return bytes;
}

std::u16string FakeSystem::Uncarried(std::u16string_view text) const {
  std::u16string uncarried;
  for (const char16_t c : text) {
    if (c > 0xFF && uncarried.find(c) == std::u16string::npos) {
      uncarried.push_back(c);
    }
  }
  return uncarried;
}

std::u16string FakeSystem::Widen(std::string_view bytes) const {
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[i] = static_cast<unsigned char>(bytes[i]);
  }
  return text;
}

std::int16_t FakeLibrary::InitDDE(const char* appName, LinkCallbacks& callbacks) {
  log_.push_back("InitDDE " + QuoteBytes(appName));
  callbacks_ = &callbacks;
  if (duringCall) {
    duringCall();
  }
  return initAnswer;
}

void FakeLibrary::DapiRegister(const char* appName) {
  log_.push_back("DapiRegister " + QuoteBytes(appName));
}

void FakeLibrary::DapiCommunicate(const char* appName, std::int16_t command, char* text1,
                                  char* text2) {
  const std::size_t size1 = std::strlen(text1);
  const std::size_t size2 = std::strlen(text2);
  log_.push_back("DapiCommunicate " + QuoteBytes(appName) + " " + std::to_string(command) + " " +
                 QuoteBytes(text1) + " " + QuoteBytes(text2));
  if (rewrite) {
    rewrite(text1, size1, text2, size2);
  }
  Answer();
}

void FakeLibrary::DapiGetAllText(const char* appName) {
  log_.push_back("DapiGetAllText " + QuoteBytes(appName));
  if (allTextInside) {
    callbacks_->OnDapiAllText(*allTextInside);
  }
  Answer();
}

void FakeLibrary::Answer() {
  system_.now += system_.perCall;
  if (duringCall) {
    duringCall();
  }
  std::optional<std::string> code = then;
  if (!results.empty()) {
    code = results.front();
    results.pop_front();
  }
  if (code) {
    callbacks_->OnDapiResult(*code);
  }
}

void FakeWindow::SetHostText(const std::u16string& text) {
  host = text;
  ++hostWrites;
}

void FakeWindow::SetIndicator(Choice choice, int value) {
  const auto index = static_cast<std::size_t>(choice);
  indicators[index] = value;
  log_.push_back("Check" + std::to_string(index + 1) + "=" + std::to_string(value));
}

std::u16string FakeWindow::Lower(std::u16string_view text) const {
  std::u16string lower(text);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') {
      c = static_cast<char16_t>(c - u'A' + u'a');
    }
  }
  return lower;
}

GameWindow::WaitEnd FakeWindow::WaitForChatText(const std::function<bool()>& arrived) {
  while (!arrived()) {
    if (played_ == batches.size()) {
      return WaitEnd::TimedOut;
    }
    const std::function<void()> batch = batches[played_++];  // a batch may click again
    batch();
  }
  return WaitEnd::Arrived;
}

void FakeWindow::Warn(std::u16string_view text) {
  warnings.emplace_back(text);
  log_.emplace_back("Warn");
}

}  // namespace kelto::testing
