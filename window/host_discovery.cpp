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

// The first announcement in a line. The scan's cost is mostly this search, so it skips
// ahead by up to the announcement's length (Horspool), not character by character.
// Characters share a skip by their low byte, which only ever shortens a skip.
class AnnouncementSearch {
 public:
  AnnouncementSearch() {
    skip_.fill(kNeedle.size());
    for (std::size_t i = 0; i + 1 < kNeedle.size(); ++i) {
      skip_[kNeedle[i] & 0xFF] = kNeedle.size() - 1 - i;
    }
  }

  std::size_t Find(std::u16string_view line) const {
    for (std::size_t at = 0; at + kNeedle.size() <= line.size();) {
      const char16_t last = line[at + kNeedle.size() - 1];
      if (last == kNeedle.back() && line.substr(at, kNeedle.size()) == kNeedle) {
        return at;
      }
      at += skip_[last & 0xFF];
    }
    return std::u16string_view::npos;
  }

 private:
  static constexpr std::u16string_view kNeedle = kAnnouncement;
  std::array<std::size_t, 256> skip_{};
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

}  // namespace

std::u16string Tokenizer::GetToken(std::u16string sText, std::u16string_view sDelimiter) {
  return std::u16string(NextToken(std::move(sText), sDelimiter));
}

std::u16string_view Tokenizer::NextToken(std::u16string sText, std::u16string_view sDelimiter) {
  if (!sText.empty()) {
    text_ = std::move(sText);
    offset_ = 0;
  } else if (offset_ >= text_.size()) {
    std::u16string().swap(text_);  // walked to its end: give the memory back
    offset_ = 0;
    return {};
  }
  const std::u16string_view rest = std::u16string_view(text_).substr(offset_);
  const std::size_t found = FindText(rest, sDelimiter);
  if (found == std::u16string_view::npos) {
    offset_ = text_.size();  // the last token; the text goes at the next call
    return rest;
  }
  offset_ += found + sDelimiter.size();
  return rest.substr(0, found);
}

std::u16string_view Tokenizer::Remainder() const {
  return std::u16string_view(text_).substr(offset_);
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
  // Each qualifying line overwrites the host; nothing can look in between, so only
  // the last one is written to the field.
  static const AnnouncementSearch search;
  std::optional<std::u16string> host;
  for (std::u16string_view line = tokenizer.NextToken(std::move(text), kLineBreak); !line.empty();
       line = tokenizer.NextToken({}, kLineBreak)) {
    const std::u16string_view rest = WithoutPrefix(line);
    const std::size_t found = search.Find(rest);
    if (found == std::u16string_view::npos) {
      continue;
    }
    const std::u16string_view name = rest.substr(0, found);
    if (name != kSystemSender && !IsInList(name, avatars, window)) {
      host.emplace(name);
    }
  }
  if (host) {
    window.SetHostText(*host);
  }
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
