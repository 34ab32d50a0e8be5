#pragma once

// The simulator's window: the chat log, a way to say lines, and the link's behaviour.

#include <windows.h>

#include <memory>
#include <string>

#include "simulator/chat_room.h"
#include "simulator/chat_server.h"

namespace kelto::simulator {

class ChatWindow final : public ServerHost {
 public:
  // Shows the window until it is closed; returns the exit status.
  static int Run(HINSTANCE instance);

  LinkBehaviour Behaviour() const override;
  void LineAdded(const std::u16string& line) override;
  void TellLater(std::wstring text) override;
  void SendTextLater(unsigned delayMs) override;
  void SendResultSoon() override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInit();
  void OnSay(bool emptyLine);
  std::wstring ControlText(int id) const;
  void ShowWholeChat();

  HWND dialog_ = nullptr;
  ChatRoom room_;
  std::unique_ptr<ChatServer> server_;
  std::wstring notice_;  // what TellLater has for the tester
};

}  // namespace kelto::simulator
