#pragma once

// The four buttons the user plays with: "Rock", "Paper", "Scissors" and "Random Select".

#include <string>

#include "link/mod_dapi.h"
#include "window/game_window.h"

namespace kelto {

// A pseudo-random generator of values 0 <= r < 1.
class UnitRandom {
 public:
  virtual ~UnitRandom() = default;
  virtual void Reseed(double seconds) = 0;
  virtual double Next() = 0;
};

const char16_t* ChoiceWord(Choice choice);

class ChoiceCommands {
 public:
  ChoiceCommands(GameWindow& window, ModDapi& link, UnitRandom& random);

  // Click on "Rock", "Paper" or "Scissors": send first, then mark.
  void OnChoice(Choice choice);
  // Click on "Random Select": mark first, then send when "Auto Send" is ticked.
  void OnRandomSelect();

 private:
  void Mark(Choice choice);
  // Sends the word to the avatar named in the host field. With `markAfterSend`, the
  // choice is marked once the request has ended, before the user is told of a failure,
  // so that the message and the window agree; a request never made marks nothing.
  void SendToHost(Choice choice, bool markAfterSend);

  GameWindow& window_;
  ModDapi& link_;
  UnitRandom& random_;
};

// What the user is told when a choice could not be delivered: given up, refused by
// the chat client, or not sent because the host's name cannot be carried exactly.
std::u16string NotDeliveredText(std::u16string_view word, std::u16string_view host,
                                std::u16string_view lastCode);
std::u16string RefusedText(std::u16string_view word, std::u16string_view host);
std::u16string NotCarriedText(std::u16string_view word, std::u16string_view host,
                              std::u16string_view uncarried, bool marked);

}  // namespace kelto
