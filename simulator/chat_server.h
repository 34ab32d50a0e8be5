#pragma once

// The simulator's side of the DDE conversation with the stand-in wadapi.dll.

#include <windows.h>

#include <ddeml.h>

#include <exception>
#include <map>
#include <set>
#include <string>

#include "simulator/chat_room.h"

namespace kelto::simulator {

// What the server needs of the simulator's window.
class ServerHost {
 public:
  virtual ~ServerHost() = default;
  virtual LinkBehaviour Behaviour() const = 0;
  virtual void LineAdded(const std::u16string& line) = 0;
  // Something the tester should know; shown once the DDE transaction is over.
  virtual void TellLater(std::wstring text) = 0;
  // Both come back to the server from the window's message loop, once the
  // transaction that asked for them is complete.
  virtual void SendTextLater(unsigned delayMs) = 0;
  virtual void SendResultSoon() = 0;
};

class ChatServer {
 public:
  ChatServer(ChatRoom& room, ServerHost& host);
  ~ChatServer();
  ChatServer(const ChatServer&) = delete;
  ChatServer& operator=(const ChatServer&) = delete;

  // Registers the service; false if DDE could not be set up.
  bool Start();
  // Send the whole chat text, or the result code of each client's last request,
  // to every client that listens for it.
  void SendAllText();
  void SendResult();

 private:
  static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item,
                                    HDDEDATA data, ULONG_PTR, ULONG_PTR);
  void TellFailure(const std::exception& error) noexcept;
  HDDEDATA OnTransaction(UINT type, HCONV conversation, HSZ topic, HSZ item, HDDEDATA data);
  void OnPoke(HCONV conversation, const std::string& item, const std::string& data);
  static bool PartnerGone(HCONV conversation);
  void ForgetGoneClients();
  HDDEDATA AllTextData(HSZ item);
  HDDEDATA TextData(HSZ item, const std::string& bytes);
  std::string Name(HSZ handle) const;

  ChatRoom& room_;
  ServerHost& host_;
  DWORD instance_ = 0;
  HSZ service_ = nullptr;
  HSZ topic_ = nullptr;
  HSZ allText_ = nullptr;
  HSZ result_ = nullptr;
  std::map<HCONV, std::string> lastCode_;
  std::set<HCONV> conversations_;
};

}  // namespace kelto::simulator
