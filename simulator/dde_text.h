#pragma once

// Reading the text of a DDE data handle, for both sides of the conversation.

#include <windows.h>

#include <ddeml.h>

#include <cstring>
#include <string>

namespace kelto::chat_protocol {

// The data's text up to its terminating NUL.
inline std::string DataText(HDDEDATA data) {
  const DWORD size = DdeGetData(data, nullptr, 0, 0);
  std::string text(size, '\0');
  DdeGetData(data, reinterpret_cast<BYTE*>(text.data()), size, 0);
  text.resize(std::strlen(text.c_str()));
  return text;
}

}  // namespace kelto::chat_protocol
