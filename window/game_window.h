#pragma once

// What the game's logic needs from the window: its controls, the platform's text
// case, the time of day, waiting for the chat text, and telling the user.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kelto {

enum class Choice : std::uint8_t { Rock, Paper, Scissors };

// The list box lstAvatars.
class AvatarList {
 public:
  virtual ~AvatarList() = default;
  virtual void Clear() = 0;
  virtual int Count() const = 0;
  virtual std::u16string Entry(int index) const = 0;
};

class GameWindow {
 public:
  enum class WaitEnd : std::uint8_t { Arrived, TimedOut, WindowGone };

  virtual ~GameWindow() = default;

  virtual std::u16string HostText() const = 0;               // txthost
  virtual void SetHostText(const std::u16string& text) = 0;  // txthost
  virtual void SetIndicator(Choice choice, int value) = 0;   // Check1 to Check3
  virtual int AutoSendValue() const = 0;                     // Check4
  virtual std::u16string Text1() const = 0;                  // Text1
  virtual void SetText1(const std::u16string& text) = 0;     // Text1
  virtual AvatarList& Avatars() = 0;                         // lstAvatars

  // The platform's simple, character-for-character lower-case mapping.
  virtual std::u16string Lower(std::u16string_view text) const = 0;
  virtual double SecondsSinceMidnight() const = 0;

  // Processes the window's pending events until `arrived` holds, the window is gone,
  // or a while has passed since the user last asked for the chat text. Looks first,
  // so a text already there needs no event.
  virtual WaitEnd WaitForChatText(const std::function<bool()>& arrived) = 0;

  // A message about something that went wrong without ending the program.
  virtual void Warn(std::u16string_view text) = 0;
};

}  // namespace kelto
