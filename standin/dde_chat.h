#pragma once

#include <windows.h>

#include <ddeml.h>

#include "standin/chat_backend.h"

namespace kelto::standin {

// Talks to the chat-client simulator over DDE and turns its answers into the
// library's result codes; a lost conversation answers "-1".
class DdeChat final : public ChatBackend {
 public:
  explicit DdeChat(Callbacks callbacks);
  DdeChat(const DdeChat&) = delete;
  DdeChat& operator=(const DdeChat&) = delete;

  short Init(const char* appName) override;
  void Register(const char* appName) override;
  std::optional<std::string> Communicate(const char* appName, short command, char* text1,
                                         char* text2) override;
  std::optional<std::string> GetAllText(const char* appName) override;

 private:
  std::string Request(const char* item, const std::string& data);
  HDDEDATA Transaction(const char* item, UINT type, const std::string* data);
  // Handles the conversation's own messages, and no others, until the result came.
  bool WaitForResult();
  void Shutdown();
  HDDEDATA OnTransaction(UINT type, HCONV conversation, HSZ item, HDDEDATA data);
  static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item,
                                    HDDEDATA data, ULONG_PTR, ULONG_PTR);

  Callbacks callbacks_;
  // Left to the end of the process: DDEML may not be shut down while the DLL is
  // being unloaded, and the link lives as long as Kelto does.
  DWORD instance_ = 0;
  HCONV conversation_ = nullptr;
  HSZ resultItem_ = nullptr;
  std::optional<std::string> result_;
};

}  // namespace kelto::standin
