#include "window/choice_commands.h"

#include <algorithm>
#include <array>

#include "link/gem.h"

namespace kelto {
namespace {

struct ChoiceRow {
  Choice choice;
  const char16_t* word;
  const char16_t* drawText;
};

constexpr std::array<ChoiceRow, 3> kChoices{{
    {Choice::Rock, u"Rock", u"0"},
    {Choice::Paper, u"Paper", u"1"},
    {Choice::Scissors, u"Scissors", u"2"},
}};

}  // namespace

const char16_t* ChoiceWord(Choice choice) {
  return kChoices[static_cast<std::size_t>(choice)].word;
}

ChoiceCommands::ChoiceCommands(ChoiceControls& controls, ModDapi& link, const TimeOfDay& clock,
                               UnitRandom& random)
    : controls_(controls), link_(link), clock_(clock), random_(random) {}

void ChoiceCommands::OnChoice(Choice choice) {
  SendToHost(choice);
  Mark(choice);
}

void ChoiceCommands::OnRandomSelect() {
  random_.Reseed(clock_.SecondsSinceMidnight());
  const double r = random_.Next();
  const int drawn = std::clamp(static_cast<int>(r * 3), 0, 2);
  controls_.SetDrawText(kChoices[static_cast<std::size_t>(drawn)].drawText);

  const std::u16string stored = controls_.DrawText();
  for (const ChoiceRow& row : kChoices) {
    if (stored == row.drawText) {
      Mark(row.choice);
      if (controls_.AutoSendValue() == 1) {
        SendToHost(row.choice);
      }
      return;
    }
  }
}

void ChoiceCommands::Mark(Choice choice) {
  for (const ChoiceRow& row : kChoices) {
    controls_.SetIndicator(row.choice, row.choice == choice ? 1 : 0);
  }
}

void ChoiceCommands::SendToHost(Choice choice) {
  Gem::SendToAvatar(link_, controls_.HostText(), ChoiceWord(choice));
}

}  // namespace kelto
