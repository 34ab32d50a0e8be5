#include "window/host_discovery.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "link/text_search.h"

namespace kelto {
namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";
constexpr std::u16string_view kPrefixTo = u"ESP to";
constexpr std::u16string_view kPrefixFrom = u"ESP from";
constexpr std::u16string_view kSystemSender = u"<system>";

// The announcement, looked for with skips of up to its length (Horspool): forwards for
// the first one in a line, backwards for the last one before a place in the text.
// Characters share a skip by their low byte, which only ever shortens a skip.
class AnnouncementSearch {
 public:
  AnnouncementSearch() {
    forward_.fill(kNeedle.size());
    for (std::size_t i = 0; i + 1 < kNeedle.size(); ++i) {
      forward_[kNeedle[i] & 0xFF] = kNeedle.size() - 1 - i;
    }
    backward_.fill(kNeedle.size());
    for (std::size_t i = kNeedle.size() - 1; i >= 1; --i) {
      backward_[kNeedle[i] & 0xFF] = i;
    }
  }

  std::size_t Find(std::u16string_view line) const {
    for (std::size_t at = 0; at + kNeedle.size() <= line.size();) {
      const char16_t last = line[at + kNeedle.size() - 1];
      if (last == kNeedle.back() && line.substr(at, kNeedle.size()) == kNeedle) {
        return at;
      }
      at += forward_[last & 0xFF];
    }
    return std::u16string_view::npos;
  }

  // The last announcement that ends at or before `end`.
  std::size_t FindLast(std::u16string_view text, std::size_t end) const {
    if (end < kNeedle.size()) {
      return std::u16string_view::npos;
    }
    for (std::size_t at = end - kNeedle.size();;) {
      const char16_t first = text[at];
      if (first == kNeedle.front() && text.substr(at, kNeedle.size()) == kNeedle) {
        return at;
      }
      const std::size_t skip = backward_[first & 0xFF];
      if (at < skip) {
        return std::u16string_view::npos;
      }
      at -= skip;
    }
  }

 private:
  static constexpr std::u16string_view kNeedle = kAnnouncement;
  std::array<std::size_t, 256> forward_{};
  std::array<std::size_t, 256> backward_{};
};

// Drops a private-message prefix and the one character that separates it from the name.
std::u16string_view WithoutPrefix(std::u16string_view line) {
  if (line.empty() || line.front() != u'E') {
    return line;  // most lines: neither prefix can stand there
  }
  for (const std::u16string_view prefix : {kPrefixTo, kPrefixFrom}) {
    if (line.substr(0, prefix.size()) == prefix) {
      line.remove_prefix(std::min(prefix.size() + 1, line.size()));
      return line;
    }
  }
  return line;
}

// Sets a flag for as long as it lives, even when a handler below it throws.
class Raised {
 public:
  explicit Raised(bool& flag) : flag_(flag) { flag_ = true; }
  ~Raised() { flag_ = false; }
  Raised(const Raised&) = delete;
  Raised& operator=(const Raised&) = delete;

 private:
  bool& flag_;
};

const AnnouncementSearch& Search() {
  static const AnnouncementSearch search;
  return search;
}

// Where the last line break that ends at or before `end` begins, or npos.
std::size_t FindLastLineBreak(std::u16string_view text, std::size_t end) {
  for (std::size_t at = end; at >= 2; --at) {
    if (text[at - 1] == kLineBreak[1] && text[at - 2] == kLineBreak[0]) {
      return at - 2;
    }
  }
  return std::u16string_view::npos;
}

// The sender in the line's first announcement, if the line names a host.
std::optional<std::u16string_view> HostOfLine(std::u16string_view line, const AvatarList& avatars,
                                              const GameWindow& window) {
  const std::u16string_view rest = WithoutPrefix(line);
  const std::size_t found = Search().Find(rest);
  if (found == std::u16string_view::npos) {
    return std::nullopt;
  }
  const std::u16string_view name = rest.substr(0, found);
  if (name == kSystemSender || IsInList(name, avatars, window)) {
    return std::nullopt;
  }
  return name;
}

}  // namespace

std::u16string_view Tokenizer::Remainder() const {
  return std::u16string_view(text_).substr(offset_);
}

std::u16string_view Tokenizer::LinesBeforeEmptyLine(std::u16string sText) {
  if (!sText.empty()) {
    text_ = std::move(sText);
    offset_ = 0;
  } else {
    LetGoIfWalked();
  }
  const std::u16string_view rest = std::u16string_view(text_).substr(offset_);
  if (rest.starts_with(kLineBreak)) {
    offset_ += kLineBreak.size();  // the first line is the empty one
    return {};
  }
  // Every CR LF is a line break of the walk, so the first CR LF CR LF holds the first
  // empty line.
  const std::size_t empty = FindEmptyLine(rest);
  if (empty == std::u16string_view::npos) {
    offset_ = text_.size();
    return rest;
  }
  offset_ += empty + 2 * kLineBreak.size();
  return rest.substr(0, empty);
}

void Tokenizer::LetGoIfWalked() {
  if (offset_ >= text_.size()) {
    std::u16string().swap(text_);  // clear() would keep the memory
    offset_ = 0;
  }
}

bool IsInList(std::u16string_view name, const AvatarList& list, const GameWindow& textCase) {
  const int count = list.Count();
  if (count <= 0) {
    return false;
  }
  const std::u16string lowerName = textCase.Lower(name);
  for (int index = 0; index < count; ++index) {
    if (textCase.Lower(list.Entry(index)) == lowerName) {
      return true;
    }
  }
  return false;
}

void FindHost(std::u16string text, GameWindow& window, Tokenizer& tokenizer) {
  AvatarList& avatars = window.Avatars();
  avatars.Clear();
  // The host is the last line before the first empty line that names one. Rather than
  // reading every line from the top, the search starts at the empty line and goes
  // backwards from announcement to announcement: a skip search reads a fraction of the
  // text, and only lines holding an announcement are read whole.
  const std::u16string_view lines = tokenizer.LinesBeforeEmptyLine(std::move(text));
  std::optional<std::u16string_view> host;
  for (std::size_t end = lines.size(); !host;) {
    const std::size_t found = Search().FindLast(lines, end);
    if (found == std::u16string_view::npos) {
      break;
    }
    // The announcement holds no line break, so its line is the one around it.
    const std::size_t lineBreakBefore = FindLastLineBreak(lines, found);
    const std::size_t lineStart =
        lineBreakBefore == std::u16string_view::npos ? 0 : lineBreakBefore + kLineBreak.size();
    const std::size_t lineEnd = std::min(FindText(lines, kLineBreak, found), lines.size());
    host = HostOfLine(lines.substr(lineStart, lineEnd - lineStart), avatars, window);
    end = lineStart;
  }
  if (host) {
    window.SetHostText(std::u16string(*host));
  }
  tokenizer.LetGoIfWalked();
}

void HostDiscovery::OnGetHost() {
  link_.EmptyAllText();
  const RequestOutcome request = link_.GetAllText();
  if (request.end == RequestOutcome::End::LinkClosed) {
    return;
  }
  if (request.end == RequestOutcome::End::GivenUp) {
    window_.Warn(NotFetchedText(request.lastCode));
    return;
  }
  refused_ = request.lastCode == kRefusedCode;  // the latest request speaks for the wait
  if (waiting_) {
    return;  // the wait in progress scans whatever text arrives
  }
  GameWindow::WaitEnd end;
  {
    const Raised waiting(waiting_);
    end = window_.WaitForChatText([this] { return link_.HasAllText(); });
  }
  switch (end) {
    case GameWindow::WaitEnd::Arrived:
      FindHost(link_.TakeAllText(), window_, tokenizer_);
      break;
    case GameWindow::WaitEnd::TimedOut:
      window_.Warn(refused_ ? kRefusedChatTextNotice : kNoChatTextNotice);
      break;
    case GameWindow::WaitEnd::WindowGone:
      // Nothing may touch the window any more.
      break;
  }
}

std::u16string NotFetchedText(std::u16string_view lastCode) {
  return u"Kelto could not fetch the chat text: " + GivenUpReason(lastCode) +
         u". The host field is unchanged. Try again.";
}

}  // namespace kelto
