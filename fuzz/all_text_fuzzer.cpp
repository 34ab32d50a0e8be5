// Feeds arbitrary library bytes through the chat-text callback and the host scan.
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/mod_dapi.h"
#include "window/host_discovery.h"

namespace {

class Latin1 final : public kelto::AnsiCodec {
 public:
  std::string Narrow(std::u16string_view text) const override {
    std::string bytes;
    for (const char16_t c : text) {
      bytes.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    }
    return bytes;
  }
  std::u16string Widen(std::string_view bytes) const override {
    std::u16string text;
    for (const char c : bytes) {
      text.push_back(static_cast<unsigned char>(c));
    }
    return text;
  }
};

class Silent final : public kelto::DapiLibrary,
                     public kelto::AppNameSource,
                     public kelto::Clock,
                     public kelto::UserNotice {
 public:
  std::int16_t InitDDE(const char*, kelto::LinkCallbacks&) override { return 0; }
  void DapiRegister(const char*) override {}
  void DapiCommunicate(const char*, std::int16_t, char*, char*) override {}
  void DapiGetAllText(const char*) override {}
  std::u16string AppName() const override { return u"Kelto"; }
  std::chrono::milliseconds Now() const override { return {}; }
  void Sleep(std::chrono::milliseconds) override {}
  void Show(std::u16string_view) override {}
};

class List final : public kelto::AvatarList {
 public:
  void Clear() override {}
  int Count() const override { return 1; }
  std::u16string Entry(int) const override { return u"Zed"; }
};

class AsciiLower final : public kelto::TextCase {
 public:
  std::u16string Lower(std::u16string_view text) const override {
    std::u16string lower(text);
    for (char16_t& c : lower) {
      c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    }
    return lower;
  }
};

class Host final : public kelto::HostControls {
 public:
  void SetHostText(const std::u16string& text) override { host = text; }
  kelto::AvatarList& Avatars() override { return list; }
  std::u16string host;
  List list;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Latin1 codec;
  static Silent platform;
  kelto::ModDapi link(platform, codec, platform, platform, platform);
  link.OnDapiAllText(std::string_view(reinterpret_cast<const char*>(data), size));
  Host host;
  AsciiLower lower;
  kelto::Tokenizer tokenizer;
  kelto::FindHost(link.State().DapiAllText, host, tokenizer, lower);
  return 0;
}
