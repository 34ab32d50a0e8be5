#pragma once

// "Get Host": fetch the chat text, wait for it, and take as host the sender of the
// last announcement line before the first empty line.

#include <cstddef>
#include <string>
#include <string_view>

#include "link/mod_dapi.h"
#include "window/game_window.h"

namespace kelto {

inline constexpr char16_t kAnnouncement[] = u": The Game Is Rock, Paper, Scissors";

// The window's tokenizer, walking a text by CR LF. A non-empty text starts a new text;
// an empty one goes on with what is left of the last. The rest is kept as an offset
// into the text, so walking a text of n characters costs O(n) in all; a text walked to
// its end is let go.
class Tokenizer {
 public:
  // What the next call with an empty text continues from.
  std::u16string_view Remainder() const;

  // A walk token by token, with CR LF, until it meets an empty line, in one step: the
  // lines it would give before the empty one, line breaks and all, as a view valid
  // until the next call; the remainder is left after the empty line, as that walk
  // leaves it. A text walked to its end is let go at the next call, or by LetGoIfWalked.
  std::u16string_view LinesBeforeEmptyLine(std::u16string sText);
  void LetGoIfWalked();

 private:
  std::u16string text_;
  std::size_t offset_ = 0;
};

bool IsInList(std::u16string_view name, const AvatarList& list, const GameWindow& textCase);

void FindHost(std::u16string text, GameWindow& window, Tokenizer& tokenizer);

class HostDiscovery {
 public:
  HostDiscovery(ModDapi& link, GameWindow& window) : link_(link), window_(window) {}

  // Click on "Get Host". A click while another one waits makes its own request and
  // joins that wait instead of nesting a wait of its own.
  void OnGetHost();

 private:
  ModDapi& link_;
  GameWindow& window_;
  Tokenizer tokenizer_;  // its remainder outlives each click
  bool waiting_ = false;
  bool refused_ = false;  // the chat client answered the latest request with a refusal
};

// What the user is told when the chat text could not be had.
std::u16string NotFetchedText(std::u16string_view lastCode);
inline constexpr char16_t kNoChatTextNotice[] =
    u"No chat text arrived from the chat client. The host field is unchanged. Try again, or "
    u"type the host's name into the Host field.";
inline constexpr char16_t kRefusedChatTextNotice[] =
    u"No chat text arrived: the chat client refused Kelto's request for it. The host field is "
    u"unchanged. If the chat client was restarted, start Kelto again.";

}  // namespace kelto
