#include "window/choice_commands.h"

#include <algorithm>
#include <array>

#include "link/gem.h"
#include "link/text_search.h"

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
  SendToHost(choice, true);
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
        SendToHost(row.choice, false);
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

void ChoiceCommands::SendToHost(Choice choice, bool markAfterSend) {
  using End = RequestOutcome::End;
  const std::u16string host = window_.HostText();
  const RequestOutcome outcome = Gem::SendToAvatar(link_, host, ChoiceWord(choice));
  if (outcome.end == End::CannotCarry) {
    // Nothing went out and no loop ran: a choice not marked yet stays unmarked.
    window_.Warn(NotCarriedText(ChoiceWord(choice), host, outcome.uncarried, !markAfterSend));
    return;
  }
  if (markAfterSend) {
    Mark(choice);
  }
  if (outcome.end == End::GivenUp) {
    window_.Warn(NotDeliveredText(ChoiceWord(choice), host, outcome.lastCode));
  } else if (outcome.end == End::Finished && outcome.lastCode == kRefusedCode) {
    window_.Warn(RefusedText(ChoiceWord(choice), host));
  }
}

namespace {

std::u16string Addressee(std::u16string_view host) {
  return host.empty() ? std::u16string(u"the host (the Host field is empty)")
                      : std::u16string(host);
}

}  // namespace

std::u16string NotDeliveredText(std::u16string_view word, std::u16string_view host,
                                std::u16string_view lastCode) {
  return u"Kelto could not deliver \"" + std::u16string(word) + u"\" to " + Addressee(host) +
         u": " + GivenUpReason(lastCode) +
         u". Your choice is marked, but it was not sent. Try again.";
}

std::u16string RefusedText(std::u16string_view word, std::u16string_view host) {
  return u"The chat client refused to deliver \"" + std::u16string(word) + u"\" to " +
         Addressee(host) +
         u". Your choice is marked, but it was not sent. If the chat client was restarted, "
         u"start Kelto again.";
}

std::u16string NotCarriedText(std::u16string_view word, std::u16string_view host,
                              std::u16string_view uncarried, bool marked) {
  std::u16string characters;
  for (std::size_t at = 0; at < uncarried.size();) {
    const std::size_t units = CharacterUnits(uncarried, at);
    characters += (characters.empty() ? u"\"" : u", \"") +
                  std::u16string(uncarried.substr(at, units)) + u"\"";
    at += units;
  }
  return u"Kelto did not send \"" + std::u16string(word) + u"\" to \"" + std::u16string(host) +
         u"\": the chat client cannot take the characters " + characters +
         u" in that name, and would deliver to another avatar. " +
         (marked ? u"Your choice is marked, but it was not sent. "
                 : u"Nothing was sent, and your choice is not marked. ") +
         u"Type the name as the chat shows it, or use \"Get Host\" to fill it in.";
}

}  // namespace kelto
