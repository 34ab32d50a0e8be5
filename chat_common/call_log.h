#pragma once

// How a library call's text arguments are written in a call log: in double quotes,
// with the escapes a scenario file uses, so that any byte can be read back. The
// stand-in's log and the unit tests' fake library write the same lines.

#include <cstdio>
#include <string>
#include <string_view>

namespace kelto::chat_protocol {

inline std::string QuoteBytes(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (byte >= 0x20 && byte < 0x7F) {
      out.push_back(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    }
  }
  return out + "\"";
}

}  // namespace kelto::chat_protocol
