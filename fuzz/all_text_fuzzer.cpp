// Feeds arbitrary library bytes through the chat-text callback and "Get Host"'s scan,
// and through a request's buffers, and holds both to the literal steps: the same host
// or none, the same remainder left in the tokenizer, the same bytes in the buffers.
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

void ChatTextAgreesWithTheSteps(const std::string& bytes) {
  kelto::testing::FakeLink fake;
  fake.link.StartLink();
  fake.link.OnDapiAllText(bytes);
  kelto::testing::FakeWindow window(fake.events);
  window.host = kUntouched;
  kelto::Tokenizer tokenizer;
  kelto::FindHost(fake.link.TakeAllText(), window, tokenizer);

  kelto::literal::Window literal;
  literal.txthost = kUntouched;
  literal.FindHost(kelto::literal::OnDapiAllText(bytes));
  Expect(window.host == literal.txthost);
  Expect(tokenizer.Remainder() == literal.sRemainder);
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
  std::string first;
  std::string second;
  int call = 0;
  // The whole buffer each time, NULs and all: the name's length and its terminator.
  fake.library.rewrite = [&](char* text1, std::size_t, char*, std::size_t) {
    if (++call == 1) {
      first.assign(text1, name.size() + 1);
      std::ranges::copy(written, text1);
    } else {
      second.assign(text1, name.size() + 1);
    }
  };
  fake.link.Communicate(2, kelto::literal::Widen(name), u"Rock");
  Expect(call == 2);
  Expect(first == name + '\0');
  Expect(second == written + '\0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ChatTextAgreesWithTheSteps(bytes);
  BuffersRoundTrip(bytes);
  return 0;
}
