#include "tests/unit/fake_platform.h"

#include <cstring>

#include "standin/scenario.h"

namespace kelto::testing {

std::string FakeCodec::Narrow(std::u16string_view text) const {
  std::string bytes;
  for (const char16_t c : text) {
    if (c <= 0xFF) {
      bytes.push_back(static_cast<char>(c));
    } else if (doubleByte_) {
      bytes.push_back(static_cast<char>(0x81));
      bytes.push_back(static_cast<char>(c & 0xFF));
    } else {
      bytes.push_back('?');
    }
  }
  return bytes;
}

std::u16string FakeCodec::Widen(std::string_view bytes) const {
  std::u16string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (doubleByte_ && byte == 0x81 && i + 1 < bytes.size()) {
      text.push_back(static_cast<char16_t>(0x100 | static_cast<unsigned char>(bytes[++i])));
    } else {
      text.push_back(static_cast<char16_t>(byte));
    }
  }
  return text;
}

std::int16_t FakeLibrary::InitDDE(const char* appName, LinkCallbacks& callbacks) {
  log_.push_back("InitDDE " + Escape(appName));
  callbacks_ = &callbacks;
  return initAnswer;
}

void FakeLibrary::DapiRegister(const char* appName) {
  log_.push_back("DapiRegister " + Escape(appName));
}

void FakeLibrary::DapiCommunicate(const char* appName, std::int16_t command, char* text1,
                                  char* text2) {
  const std::size_t size1 = std::strlen(text1);
  const std::size_t size2 = std::strlen(text2);
  buffersSeen.emplace_back(std::string(text1, size1 + 1), std::string(text2, size2 + 1));
  log_.push_back("DapiCommunicate " + Escape(appName) + " " + std::to_string(command) + " " +
                 Escape(text1) + " " + Escape(text2));
  if (rewrite) {
    rewrite(text1, size1, text2, size2);
  }
  Answer();
}

void FakeLibrary::DapiGetAllText(const char* appName) {
  log_.push_back("DapiGetAllText " + Escape(appName));
  if (allTextInside) {
    callbacks_->OnDapiAllText(*allTextInside);
  }
  Answer();
}

void FakeLibrary::Answer() {
  if (clock_ != nullptr) {
    clock_->now += clock_->perCall;
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

std::string Escape(std::string_view bytes) {
  return standin::QuoteBytes(bytes);
}

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (const char16_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace kelto::testing
