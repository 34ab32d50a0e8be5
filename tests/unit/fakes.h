#pragma once

// Fakes of the library, the system and the window, for driving the core without Windows.

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/dapi_library.h"
#include "link/link_system.h"
#include "link/mod_dapi.h"
#include "window/game_window.h"

namespace kelto::testing {

// Calls and other observable steps, in the order they happened.
using EventLog = std::vector<std::string>;

// Bytes 0x00-0xFF are U+0000-U+00FF; characters above that narrow to '?'. A clock
// that moves only when the loop sleeps, or by `perCall` for each library call.
class FakeSystem final : public LinkSystem {
 public:
  std::string Narrow(std::u16string_view text) const override;
  std::u16string Widen(std::string_view bytes) const override;
  std::u16string Uncarried(std::u16string_view text) const override;
  std::u16string AppName() const override { return appName; }
  Elevation TokenElevation() const override { return elevation; }
  std::chrono::milliseconds Now() const override { return now; }
  void Sleep(std::chrono::milliseconds duration) override {
    now += duration;
    slept += duration;
  }

  std::u16string appName = u"Kelto";
  Elevation elevation = Elevation::Default;
  std::chrono::milliseconds now{0};
  std::chrono::milliseconds slept{0};
  std::chrono::milliseconds perCall{0};
};

// A scripted wadapi.dll. Each request takes the next scripted result code (nullopt:
// no OnDapiResult at all); once the script is used up, every request gets `then`.
class FakeLibrary final : public DapiLibrary {
 public:
  FakeLibrary(EventLog& log, FakeSystem& system) : log_(log), system_(system) {}

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
  // Runs inside every call, before the answer: what a library that handles window
  // messages in its calls may let happen there.
  std::function<void()> duringCall;
  // Lets a test write into the DapiCommunicate buffers; the sizes exclude the NUL.
  std::function<void(char* text1, std::size_t size1, char* text2, std::size_t size2)> rewrite;

 private:
  void Answer();

  EventLog& log_;
  FakeSystem& system_;
  LinkCallbacks* callbacks_ = nullptr;
};

// A link wired to fakes and started, as most core tests want it.
struct FakeLink {
  explicit FakeLink(RequestBound bound = {})
      : library(events, system), link(library, system, bound) {}
  EventLog events;
  FakeSystem system;
  FakeLibrary library;
  ModDapi link;
};

class FakeAvatarList final : public AvatarList {
 public:
  void Clear() override { entries.clear(); }
  int Count() const override { return static_cast<int>(entries.size()); }
  std::u16string Entry(int index) const override {
    return entries.at(static_cast<std::size_t>(index));
  }
  std::vector<std::u16string> entries;
};

// The window's controls as plain values; ASCII lower case; a wait that plays each
// scripted batch of events in turn and, with none left, times out.
class FakeWindow final : public GameWindow {
 public:
  explicit FakeWindow(EventLog& log) : log_(log) {}

  std::u16string HostText() const override { return host; }
  void SetHostText(const std::u16string& text) override;
  void SetIndicator(Choice choice, int value) override;
  int AutoSendValue() const override { return autoSend; }
  std::u16string Text1() const override { return text1; }
  void SetText1(const std::u16string& text) override { text1 = text; }
  AvatarList& Avatars() override { return avatars; }
  std::u16string Lower(std::u16string_view text) const override;
  double SecondsSinceMidnight() const override { return 45296.25; }
  WaitEnd WaitForChatText(const std::function<bool()>& arrived) override;
  void Warn(std::u16string_view text) override;

  std::u16string host = u"(typed by the user)";
  int hostWrites = 0;
  std::array<int, 3> indicators{0, 0, 0};
  int autoSend = 0;
  std::u16string text1;
  FakeAvatarList avatars;
  std::vector<std::function<void()>> batches;
  std::vector<std::u16string> warnings;

 private:
  EventLog& log_;
  std::size_t played_ = 0;  // each batch is played once, across waits
};

}  // namespace kelto::testing
