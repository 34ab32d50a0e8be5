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

ChoiceCommands::ChoiceCommands(GameWindow& window, ModDapi& link, UnitRandom& random)
    : window_(window), link_(link), random_(random) {}

void ChoiceCommands::OnChoice(Choice choice) {
  SendToHost(choice, [&] { Mark(choice); });
}

void ChoiceCommands::OnRandomSelect() {
  random_.Reseed(window_.SecondsSinceMidnight());
  const double r = random_.Next();
  const int drawn = std::clamp(static_cast<int>(r * 3), 0, 2);
  window_.SetText1(kChoices[static_cast<std::size_t>(drawn)].drawText);

  const std::u16string stored = window_.Text1();
  for (const ChoiceRow& row : kChoices) {
    if (stored == row.drawText) {
      Mark(row.choice);
      if (window_.AutoSendValue() == 1) {
        SendToHost(row.choice, [] {});
      }
      return;
    }
  }
}

void ChoiceCommands::Mark(Choice choice) {
  for (const ChoiceRow& row : kChoices) {
    window_.SetIndicator(row.choice, row.choice == choice ? 1 : 0);
  }
}

template <typename ThenMark>
void ChoiceCommands::SendToHost(Choice choice, ThenMark&& thenMark) {
  const std::u16string host = window_.HostText();
  const RequestOutcome outcome = Gem::SendToAvatar(link_, host, ChoiceWord(choice));
  thenMark();
  if (outcome.end == RequestOutcome::End::GivenUp) {
    window_.Warn(NotDeliveredText(ChoiceWord(choice), host, outcome.lastCode));
  }
}

std::u16string NotDeliveredText(std::u16string_view word, std::u16string_view host,
                                std::u16string_view lastCode) {
  const std::u16string to =
      host.empty() ? std::u16string(u"the host (the Host field is empty)") : std::u16string(host);
  return u"Kelto could not deliver \"" + std::u16string(word) + u"\" to " + to + u": " +
         GivenUpReason(lastCode) + u". Your choice is marked, but it was not sent. Try again.";
}

}  // namespace kelto
