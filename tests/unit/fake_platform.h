#pragma once

// Fakes of the library and of the platform, for driving the core without Windows.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/dapi_library.h"
#include "link/mod_dapi.h"
#include "link/platform.h"

namespace kelto::testing {

// Calls and other observable steps, in the order they happened.
using EventLog = std::vector<std::string>;

// Bytes 0x00-0xFF map to U+0000-U+00FF. Characters above that narrow to '?', or, in
// double-byte mode, to the two bytes 0x81 and their low byte, as a DBCS code page
// would; widening undoes that.
class FakeCodec final : public AnsiCodec {
 public:
  explicit FakeCodec(bool doubleByte = false) : doubleByte_(doubleByte) {}
  std::string Narrow(std::u16string_view text) const override;
  std::u16string Widen(std::string_view bytes) const override;

 private:
  bool doubleByte_;
};

class FakeAppName final : public AppNameSource {
 public:
  std::u16string AppName() const override { return name; }
  std::u16string name = u"Kelto";
};

class FakeClock final : public Clock {
 public:
  std::chrono::milliseconds Now() const override { return now; }
  void Sleep(std::chrono::milliseconds duration) override {
    now += duration;
    slept += duration;
  }
  std::chrono::milliseconds now{0};
  std::chrono::milliseconds slept{0};
  // Extra time each library call takes, to drive the time bound.
  std::chrono::milliseconds perCall{0};
};

class FakeNotice final : public UserNotice {
 public:
  void Show(std::u16string_view text) override { shown.emplace_back(text); }
  std::vector<std::u16string> shown;
};

// A scripted wadapi.dll. Each request takes the next scripted result code (nullopt:
// no OnDapiResult at all); once the script is used up, every request gets `then`.
class FakeLibrary final : public DapiLibrary {
 public:
  explicit FakeLibrary(EventLog& log, FakeClock* clock = nullptr) : log_(log), clock_(clock) {}

  std::int16_t InitDDE(const char* appName, LinkCallbacks& callbacks) override;
  void DapiRegister(const char* appName) override;
  void DapiCommunicate(const char* appName, std::int16_t command, char* text1,
                       char* text2) override;
  void DapiGetAllText(const char* appName) override;

  LinkCallbacks& Callbacks() { return *callbacks_; }

  std::int16_t initAnswer = 0;
  std::deque<std::optional<std::string>> results;
  std::optional<std::string> then = std::string("0");
  // Chat text delivered inside DapiGetAllText, before its result code.
  std::optional<std::string> allTextInside;
  // Lets a test write into the DapiCommunicate buffers; the sizes exclude the NUL.
  std::function<void(char* text1, std::size_t size1, char* text2, std::size_t size2)> rewrite;
  // The exact buffer contents seen at each DapiCommunicate, terminator included.
  std::vector<std::pair<std::string, std::string>> buffersSeen;

 private:
  void Answer();

  EventLog& log_;
  FakeClock* clock_;
  LinkCallbacks* callbacks_ = nullptr;
};

// A link wired to fakes, as most core tests want it.
struct FakeLink {
  explicit FakeLink(RequestBound bound = {}, bool doubleByte = false)
      : codec(doubleByte),
        library(events, &clock),
        link(library, codec, appName, clock, notice, bound) {}
  EventLog events;
  FakeCodec codec;
  FakeAppName appName;
  FakeClock clock;
  FakeNotice notice;
  FakeLibrary library;
  ModDapi link;
};

// Readable forms for assertions.
std::string Escape(std::string_view bytes);
std::string Utf8(std::u16string_view text);

}  // namespace kelto::testing
