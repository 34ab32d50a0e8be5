#pragma once

// The benchmarks' chat text, as the chat client's library would hand it over.

#include <string>

namespace kelto::bench {

// Lines of about 60 characters; some private messages, an announcement now and then.
inline std::string ChatBytes(std::size_t bytes) {
  std::string text;
  for (unsigned line = 0; text.size() < bytes; ++line) {
    const std::string name = "avatar" + std::string(1, static_cast<char>('a' + line % 26));
    if (line % 97 == 0) {
      text += name + ": The Game Is Rock, Paper, Scissors, join in!!!!!!!!";
    } else if (line % 7 == 0) {
      text += "ESP to " + name + ": are you playing tonight? I am ready to go.";
    } else if (line % 11 == 0) {
      text += "ESP from " + name + ": sure, give me a minute to get set up ok";
    } else {
      text += name + ": chatting about the weather and other things today.";
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace kelto::bench
