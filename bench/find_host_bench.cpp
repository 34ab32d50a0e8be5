// Times the host scan over generated chat texts of 1 KB to 32 MB and prints the
// throughput and the scaling exponent between the smallest and largest text.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "window/host_discovery.h"

namespace {

class NoList final : public kelto::AvatarList {
 public:
  void Clear() override {}
  int Count() const override { return 0; }
  std::u16string Entry(int) const override { return {}; }
};

class NoCase final : public kelto::TextCase {
 public:
  std::u16string Lower(std::u16string_view text) const override { return std::u16string(text); }
};

class HostSink final : public kelto::HostControls {
 public:
  void SetHostText(const std::u16string& text) override { host = text; }
  kelto::AvatarList& Avatars() override { return list; }
  std::u16string host;
  NoList list;
};

// Lines of about 60 characters; some private messages, an announcement now and then,
// and the only empty line at the very end.
std::u16string ChatText(std::size_t bytes) {
  std::u16string text;
  const std::size_t units = bytes / 2;
  for (unsigned line = 0; text.size() < units; ++line) {
    const std::u16string name =
        u"avatar" + std::u16string(1, static_cast<char16_t>(u'a' + line % 26));
    if (line % 97 == 0) {
      text += name + u": The Game Is Rock, Paper, Scissors, join in!!!!!!!!";
    } else if (line % 7 == 0) {
      text += u"ESP to " + name + u": are you playing tonight? I am ready to go.";
    } else if (line % 11 == 0) {
      text += u"ESP from " + name + u": sure, give me a minute to get set up ok";
    } else {
      text += name + u": chatting about the weather and other things today.";
    }
    text += u"\r\n";
  }
  return text + u"\r\n";
}

double SecondsFor(const std::u16string& text) {
  HostSink sink;
  NoCase noCase;
  kelto::Tokenizer tokenizer;
  int repeats = 0;
  const auto start = std::chrono::steady_clock::now();
  std::chrono::duration<double> elapsed{};
  do {
    kelto::FindHost(text, sink, tokenizer, noCase);
    ++repeats;
    elapsed = std::chrono::steady_clock::now() - start;
  } while (elapsed.count() < 0.2 && repeats < 10000);
  return elapsed.count() / repeats;
}

}  // namespace

int main() {
  std::printf("%12s %14s %12s\n", "text bytes", "FindHost ms", "MB/s");
  std::vector<std::pair<double, double>> points;
  for (std::size_t bytes = 1024; bytes <= (32u << 20); bytes *= 2) {
    const std::u16string text = ChatText(bytes);
    const double actualBytes = static_cast<double>(text.size() * 2);
    const double seconds = SecondsFor(text);
    points.emplace_back(actualBytes, seconds);
    std::printf("%12.0f %14.4f %12.1f\n", actualBytes, seconds * 1e3, actualBytes / seconds / 1e6);
  }
  const auto& [smallBytes, smallSeconds] = points.front();
  const auto& [largeBytes, largeSeconds] = points.back();
  const double exponent = std::log(largeSeconds / smallSeconds) / std::log(largeBytes / smallBytes);
  std::printf("scaling exponent (1.0 is linear): %.3f\n", exponent);
  return 0;
}
