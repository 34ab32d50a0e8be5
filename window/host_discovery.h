#pragma once

// "Get Host": fetch the chat text, wait for it, and take as host the sender of the
// last announcement line before the first empty line.

#include <functional>
#include <string>
#include <string_view>

#include "link/mod_dapi.h"
#include "link/platform.h"
#include "window/tokenizer.h"

namespace kelto {

inline constexpr char16_t kAnnouncement[] = u": The Game Is Rock, Paper, Scissors";

// The list box lstAvatars.
class AvatarList {
 public:
  virtual ~AvatarList() = default;
  virtual void Clear() = 0;
  virtual int Count() const = 0;
  virtual std::u16string Entry(int index) const = 0;
};

// The platform's simple, character-by-character lower-case mapping.
class TextCase {
 public:
  virtual ~TextCase() = default;
  virtual std::u16string Lower(std::u16string_view text) const = 0;
};

class HostControls {
 public:
  virtual ~HostControls() = default;
  virtual void SetHostText(const std::u16string& text) = 0;  // txthost
  virtual AvatarList& Avatars() = 0;                         // lstAvatars
};

// Keeps the window responsive until the chat text is there.
class ChatTextWait {
 public:
  enum class Outcome { Arrived, TimedOut, WindowGone };
  virtual ~ChatTextWait() = default;
  // Looks first; while stillWaiting() holds, processes the pending window events
  // and looks again.
  virtual Outcome WaitWhile(const std::function<bool()>& stillWaiting) = 0;
};

bool IsInList(std::u16string_view name, const AvatarList& list, const TextCase& textCase);

void FindHost(std::u16string text, HostControls& controls, Tokenizer& tokenizer,
              const TextCase& textCase);

class HostDiscovery {
 public:
  HostDiscovery(ModDapi& link, HostControls& controls, Tokenizer& tokenizer,
                const TextCase& textCase, ChatTextWait& wait, UserNotice& notice);

  // Click on "Get Host".
  void OnGetHost();

 private:
  ModDapi& link_;
  HostControls& controls_;
  Tokenizer& tokenizer_;
  const TextCase& textCase_;
  ChatTextWait& wait_;
  UserNotice& notice_;
};

inline constexpr char16_t kNoChatTextNotice[] =
    u"No chat text arrived from the chat client. The host field is unchanged.";

}  // namespace kelto
