// Feeds arbitrary library bytes, and chat text built of the pieces the scan looks for,
// through the chat-text callback and "Get Host"'s scan, and holds them to the literal
// steps: the same host or none, the same remainder left in the tokenizer. A request's
// buffers, rewritten by the library, go out again byte for byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/unit/fakes.h"
#include "tests/unit/literal_steps.h"
#include "window/host_discovery.h"

namespace {

constexpr char16_t kUntouched[] = u"(untouched)";

void Expect(bool holds) {
  if (!holds) {
    std::abort();  // libFuzzer keeps the input that got here
  }
}

// The tokenizers come from the text before, as "Get Host" after "Get Host" finds them.
struct Tokenizers {
  kelto::Tokenizer scan;
  kelto::literal::Window literalScan;
};

void ChatTextAgreesWithTheSteps(const std::string& bytes, Tokenizers& tokenizers) {
  kelto::testing::FakeLink fake;
  fake.link.StartLink();
  fake.link.OnDapiAllText(bytes);
  kelto::testing::FakeWindow window(fake.events);
  window.host = kUntouched;
  auto& [tokenizer, literal] = tokenizers;
  kelto::FindHost(fake.link.TakeAllText(), window, tokenizer);

  literal.txthost = kUntouched;
  const std::u16string text = kelto::literal::OnDapiAllText(bytes);
  literal.FindHost(text);
  Expect(window.host == literal.txthost);
  Expect(tokenizer.Remainder() == literal.sRemainder);
  for (int click = 0; click < 3; ++click) {  // an empty text goes on past the empty line
    kelto::FindHost(u"", window, tokenizer);
    literal.FindHost(u"");
    Expect(window.host == literal.txthost);
    Expect(tokenizer.Remainder() == literal.sRemainder);
  }
}

// The first half of the bytes is the name; inside the first call the library writes
// the second half over the name's buffer, as far as it reaches, and asks for a repetition.
void BuffersRoundTrip(const std::string& bytes) {
  const std::string name = bytes.substr(0, bytes.size() / 2);
  const std::string overwrite = bytes.substr(bytes.size() / 2);
  kelto::testing::FakeLink fake;
  fake.link.StartLink();
  fake.library.results = {"6", "0"};
  std::string written = name;
  std::copy_n(overwrite.begin(), std::min(overwrite.size(), name.size()), written.begin());
  std::string first, second, word;
  int call = 0;
  // The whole buffer each time, NULs and all: the name's length and its terminator. The
  // word's buffer is rewritten too, and must go out again as it stands.
  fake.library.rewrite = [&](char* text1, std::size_t, char* text2, std::size_t) {
    if (++call == 1) {
      first.assign(text1, name.size() + 1);
      std::ranges::copy(written, text1);
      text2[0] = 'S';
    } else {
      second.assign(text1, name.size() + 1);
      word.assign(text2, 5);
    }
  };
  fake.link.Communicate(2, kelto::literal::Widen(name), u"Rock");
  Expect(call == 2 && first == name + '\0' && second == written + '\0' &&
         word == std::string("Sock") + '\0');
}

// Chat text built of the pieces the steps look for, so that most inputs announce hosts:
// each byte below 0x80 stands for itself, each above for a piece.
std::string ChatOfPieces(const std::string& bytes) {
  static const char* const kPieces[] = {": The Game Is Rock, Paper, Scissors",
                                        "\r\n",
                                        "\r\n\r\n",
                                        "ESP to ",
                                        "ESP from ",
                                        "ESP to",
                                        "<system>",
                                        "<System>",
                                        "bob",
                                        "\r",
                                        "\n",
                                        ": The Game Is Rock"};
  std::string chat;
  for (const char byte : bytes) {
    const auto value = static_cast<unsigned char>(byte);
    chat += value < 0x80 ? std::string(1, byte) : kPieces[value % std::size(kPieces)];
  }
  return chat;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Tokenizers tokenizers;
  ChatTextAgreesWithTheSteps(ChatOfPieces(bytes), tokenizers);  // often stops short
  ChatTextAgreesWithTheSteps(bytes, tokenizers);
  BuffersRoundTrip(bytes);
  return 0;
}
