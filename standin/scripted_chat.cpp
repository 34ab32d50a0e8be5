#include "standin/scripted_chat.h"

#include <cstring>
#include <map>

namespace kelto::standin {
namespace {

// Texts on their way, by thread timer, each with the callbacks to hand it to.
std::map<UINT_PTR, std::pair<std::string, Callbacks*>>& TextsOnTheirWay() {
  static std::map<UINT_PTR, std::pair<std::string, Callbacks*>> texts;
  return texts;
}

}  // namespace

short ScriptedChat::Init(const char*) {
  return scenario_.initAnswer;
}

void ScriptedChat::Register(const char*) {}

std::optional<std::string> ScriptedChat::Communicate(const char*, short, char* text1, char* text2) {
  if (text1 != nullptr) {
    ApplyWrites(scenario_, 1, text1, std::strlen(text1));
  }
  if (text2 != nullptr) {
    ApplyWrites(scenario_, 2, text2, std::strlen(text2));
  }
  return Answer();
}

std::optional<std::string> ScriptedChat::GetAllText(const char*) {
  switch (scenario_.delivery) {
    case Scenario::Delivery::Inside:
      callbacks_.allText(ChatTextOnce());
      break;
    case Scenario::Delivery::Later:
      // A thread timer: it fires in whatever message loop this thread runs next.
      if (const UINT_PTR timer = SetTimer(nullptr, 0, scenario_.laterMilliseconds, DeliverLater)) {
        TextsOnTheirWay()[timer] = {ChatTextOnce(), &callbacks_};
      }
      break;
    case Scenario::Delivery::Never:
      break;
  }
  return Answer();
}

const std::string& ScriptedChat::ChatTextOnce() {
  if (!chatText_) {
    chatText_ = ChatText(scenario_);
  }
  return *chatText_;
}

void CALLBACK ScriptedChat::DeliverLater(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  auto& texts = TextsOnTheirWay();
  const auto found = texts.find(timer);
  if (found == texts.end()) {
    return;
  }
  try {
    const auto [text, callbacks] = std::move(found->second);
    texts.erase(found);
    callbacks->allText(text);
  } catch (...) {
    // Deliberately empty: no exception may leave a timer procedure; the text is lost,
    // as a real library's would be when it runs out of memory.
  }
}

// Handles the thread's window messages, the caller's included, for a while. A quit
// request is left for the caller's own loop.
void ScriptedChat::Pump() const {
  const ULONGLONG end = GetTickCount64() + scenario_.pumpMilliseconds;
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        if (scenario_.pumpKeepsQuit) {
          continue;
        }
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

// Window messages, then messages, then the request's result code.
std::optional<std::string> ScriptedChat::Answer() {
  Pump();
  for (const Scenario::Message& message : scenario_.messages) {
    callbacks_.message(message.text1, message.number, message.text2);
  }
  return ResultFor(scenario_, requests_++);
}

}  // namespace kelto::standin
