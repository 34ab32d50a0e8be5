// The host scan's speed and one "Get Host"'s memory, over generated chat texts:
// - the scan alone from 1 KB to 32 MB, with the scaling exponent between the ends;
// - at 32 MB, normalising and scanning against the floor of finding every CR LF;
// - the most memory one "Get Host" holds, and what it keeps, against the text's size.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "link/text_search.h"
#include "tests/unit/fakes.h"
#include "window/host_discovery.h"

namespace {

// Every allocation of this process, counted, for the memory figures.
std::size_t g_live = 0;
std::size_t g_peak = 0;

using Clock = std::chrono::steady_clock;

// Lines of about 60 characters; some private messages, an announcement now and then.
std::string ChatBytes(std::size_t bytes) {
  std::string text;
  for (unsigned line = 0; text.size() < bytes; ++line) {
    const std::string name = "avatar" + std::string(1, static_cast<char>('a' + line % 26));
    if (line % 97 == 0) {
      text += name + ": The Game Is Rock, Paper, Scissors, join in!!!!!!!!";
    } else if (line % 7 == 0) {
      text += "ESP to " + name + ": are you playing tonight? I am ready to go.";
    } else if (line % 11 == 0) {
      text += "ESP from " + name + ": sure, give me a minute to get set up ok";
    } else {
      text += name + ": chatting about the weather and other things today.";
    }
    text += "\r\n";
  }
  return text;
}

std::u16string Widened(const std::string& bytes) {
  return kelto::testing::FakeSystem().Widen(bytes);
}

// The fastest of repeated runs of `work` over at least `least` seconds, the least
// disturbed by whatever else the machine does; `prepare` runs untimed before each.
template <typename Prepare, typename Work>
double SecondsFor(Prepare&& prepare, Work&& work, double least = 0.3) {
  std::chrono::duration<double> spent{};
  double fastest = 1e9;
  int repeats = 0;
  do {
    prepare();
    const auto start = Clock::now();
    work();
    const std::chrono::duration<double> took = Clock::now() - start;
    fastest = std::min(fastest, took.count());
    spent += took;
    ++repeats;
  } while ((spent.count() < least || repeats < 3) && repeats < 10000);
  return fastest;
}

void ScanThroughput() {
  std::printf("%12s %14s %12s\n", "text bytes", "FindHost ms", "MB/s");
  kelto::testing::EventLog log;
  kelto::testing::FakeWindow window(log);
  kelto::Tokenizer tokenizer;
  std::vector<std::pair<double, double>> points;
  for (std::size_t bytes = 1024; bytes <= (32u << 20); bytes *= 2) {
    const std::u16string text = Widened(ChatBytes(bytes));
    std::u16string copy;
    const double seconds = SecondsFor([&] { copy = text; },
                                      [&] { kelto::FindHost(std::move(copy), window, tokenizer); });
    const auto size = static_cast<double>(text.size());  // as the library delivers it
    points.emplace_back(size, seconds);
    std::printf("%12.0f %14.4f %12.1f\n", size, seconds * 1e3, size / seconds / 1e6);
  }
  const double exponent = std::log(points.back().second / points.front().second) /
                          std::log(points.back().first / points.front().first);
  std::printf("scaling exponent (1.0 is linear): %.3f\n\n", exponent);
}

void AgainstTheLineBreakFloor() {
  kelto::testing::EventLog log;
  kelto::testing::FakeWindow window(log);
  kelto::Tokenizer tokenizer;
  const std::u16string text = Widened(ChatBytes(32u << 20) + std::string("\0tail", 5));
  std::u16string copy;
  std::size_t breaks = 0;
  // The floor: finding every line break with the search the scan itself uses.
  const double floor = SecondsFor([] {},
                                  [&] {
                                    breaks = 0;
                                    for (std::size_t at = kelto::FindText(text, u"\r\n");
                                         at != std::u16string_view::npos;
                                         at = kelto::FindText(text, u"\r\n", at + 2)) {
                                      ++breaks;
                                    }
                                  },
                                  2.0);
  const double work = SecondsFor(
      [&] { copy = text; },
      [&] { kelto::FindHost(kelto::NormaliseAllText(std::move(copy)), window, tokenizer); }, 2.0);
  std::printf(
      "32 MB text, %zu line breaks: CR LF floor %.1f ms, normalise and scan %.1f ms: "
      "%.2f times the floor (goal: at most 3)\n\n",
      breaks, floor * 1e3, work * 1e3, work / floor);
}

// Hands the chat text over as the real library does: a copy of its own, alive only
// for the callback.
class DeliveringLibrary final : public kelto::DapiLibrary {
 public:
  explicit DeliveringLibrary(const std::string& text) : text_(text) {}
  std::int16_t InitDDE(const char*, kelto::LinkCallbacks& callbacks) override {
    callbacks_ = &callbacks;
    return 0;
  }
  void DapiRegister(const char*) override {}
  void DapiCommunicate(const char*, std::int16_t, char*, char*) override {}
  void DapiGetAllText(const char*) override {
    {
      const std::string bstr = text_;
      callbacks_->OnDapiAllText(bstr);
    }
    callbacks_->OnDapiResult("0");
  }

 private:
  const std::string& text_;
  kelto::LinkCallbacks* callbacks_ = nullptr;
};

void MemoryOfOneGetHost(const char* what, const std::string& text) {
  kelto::testing::FakeSystem system;
  DeliveringLibrary library(text);
  kelto::ModDapi link(library, system);
  link.StartLink();
  kelto::testing::EventLog log;
  kelto::testing::FakeWindow window(log);
  kelto::HostDiscovery discovery(link, window);
  const std::size_t before = g_live;
  g_peak = g_live;
  discovery.OnGetHost();
  const auto size = static_cast<double>(text.size());
  std::printf("%-34s %6.0f MB text: peak %.2f times its size (goal 3), kept %.2f (goal 2.5)\n",
              what, size / 1e6, static_cast<double>(g_peak - before) / size,
              static_cast<double>(g_live - before) / size);
}

}  // namespace

void* operator new(std::size_t size) {
  void* block = std::malloc(size + sizeof(std::max_align_t));
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  *static_cast<std::size_t*>(block) = size;
  g_live += size;
  g_peak = std::max(g_peak, g_live);
  return static_cast<char*>(block) + sizeof(std::max_align_t);
}

void operator delete(void* pointer) noexcept {
  if (pointer != nullptr) {
    void* block = static_cast<char*>(pointer) - sizeof(std::max_align_t);
    g_live -= *static_cast<std::size_t*>(block);
    std::free(block);
  }
}

void operator delete(void* pointer, std::size_t) noexcept {
  operator delete(pointer);
}

int main() {
  ScanThroughput();
  AgainstTheLineBreakFloor();
  const std::string chat = ChatBytes(64u << 20);
  MemoryOfOneGetHost("Get Host, scanned to the end:", chat);
  MemoryOfOneGetHost("Get Host, stopped at an empty line:", "hi\r\n\r\n" + chat);
  return 0;
}
