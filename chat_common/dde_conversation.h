#pragma once

// The DDE conversation between the stand-in wadapi.dll (client) and the chat-client
// simulator KeltoChat (server). Every request is a poke whose data are tab-separated
// fields, the application name first. Answers come through two advise loops: the
// request's result code on "Result" right after the poke, and the chat text on
// "AllText" whenever the server chooses to send it. (A plain request for the result
// would be simpler, but Wine's DDEML answers every request after the first with
// "not processed".)

#include <windows.h>

#include <ddeml.h>

#include <cstring>
#include <string>

namespace kelto::chat_protocol {

inline constexpr char kService[] = "KeltoChat";
inline constexpr char kTopic[] = "Chat";

inline constexpr char kItemAllText[] = "AllText";        // advise: the whole chat text
inline constexpr char kItemRegister[] = "Register";      // poke: application
inline constexpr char kItemDeliver[] = "Deliver";        // poke: application, command, avatar, text
inline constexpr char kItemGetAllText[] = "GetAllText";  // poke: application
inline constexpr char kItemResult[] = "Result";          // advise: code of the last poke

inline constexpr char kSeparator = '\t';
inline constexpr unsigned kTimeoutMilliseconds = 3000;

// The data's text up to its terminating NUL.
inline std::string DataText(HDDEDATA data) {
  if (data == nullptr) {
    return {};  // the partner sent no data, or DDE could not hold it
  }
  const DWORD size = DdeGetData(data, nullptr, 0, 0);
  std::string text(size, '\0');
  DdeGetData(data, reinterpret_cast<BYTE*>(text.data()), size, 0);
  text.resize(std::strlen(text.c_str()));
  return text;
}

}  // namespace kelto::chat_protocol
