#pragma once

// The four buttons the user plays with: "Rock", "Paper", "Scissors" and "Random Select".

#include <string>

#include "link/mod_dapi.h"

namespace kelto {

enum class Choice { Rock, Paper, Scissors };

// The controls the choice commands read and write.
class ChoiceControls {
 public:
  virtual ~ChoiceControls() = default;
  virtual std::u16string HostText() const = 0;               // txthost
  virtual void SetIndicator(Choice choice, int value) = 0;   // Check1 to Check3
  virtual int AutoSendValue() const = 0;                     // Check4
  virtual void SetDrawText(const std::u16string& text) = 0;  // Text1
  virtual std::u16string DrawText() const = 0;               // Text1
};

// The time of day, for reseeding the draw.
class TimeOfDay {
 public:
  virtual ~TimeOfDay() = default;
  virtual double SecondsSinceMidnight() const = 0;
};

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
  ChoiceCommands(ChoiceControls& controls, ModDapi& link, const TimeOfDay& clock,
                 UnitRandom& random);

  // Click on "Rock", "Paper" or "Scissors": send first, then mark.
  void OnChoice(Choice choice);
  // Click on "Random Select": mark first, then send when "Auto Send" is ticked.
  void OnRandomSelect();

 private:
  void Mark(Choice choice);
  void SendToHost(Choice choice);

  ChoiceControls& controls_;
  ModDapi& link_;
  const TimeOfDay& clock_;
  UnitRandom& random_;
};

}  // namespace kelto
