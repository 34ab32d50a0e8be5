#pragma once

// The chat text's string steps written out as literally as they read: 1-based
// positions, Left and Mid, a copy at every step, no shortcuts. Slow and plain, so that
// the fuzz target can hold the program's chat-text path to it, input by input.

#include <string>

namespace kelto::literal {

// The 1-based position of the first `find` in `text`, 0 if there is none.
inline std::size_t InStr(const std::u16string& text, const std::u16string& find) {
  for (std::size_t start = 1; start + find.size() <= text.size() + 1; ++start) {
    if (text.compare(start - 1, find.size(), find) == 0) {
      return start;
    }
  }
  return 0;
}

inline std::u16string Left(const std::u16string& text, std::size_t count) {
  return text.substr(0, count);
}

// From the 1-based `start` on; empty when `start` lies past the end.
inline std::u16string Mid(const std::u16string& text, std::size_t start) {
  return start > text.size() ? std::u16string() : text.substr(start - 1);
}

// Widening in the code page the fakes use: each byte is the character of its value.
inline std::u16string Widen(const std::string& bytes) {
  std::u16string text;
  for (const char byte : bytes) {
    text.push_back(static_cast<unsigned char>(byte));
  }
  return text;
}

// The chat-text callback: the text that DapiAllText becomes.
inline std::u16string OnDapiAllText(const std::string& bytes) {
  std::u16string t = Widen(bytes);
  const std::size_t p = InStr(t, std::u16string(1, u'\0'));
  if (p > 5) {
    t = Left(t, p - 5);
  }
  while (t.size() >= 2 && Mid(t, t.size() - 1) == u"\r\n") {
    t = Left(t, t.size() - 2);
  }
  return t;
}

struct Window {
  std::u16string sRemainder;
  std::u16string txthost;

  std::u16string GetToken(const std::u16string& sText, const std::u16string& sDelimiter) {
    if (!sText.empty()) {  // at least one character
      sRemainder = sText;
    }
    const std::size_t pos = InStr(sRemainder, sDelimiter);
    std::u16string result;
    if (pos == 0) {
      result = sRemainder;
      sRemainder = u"";
    } else {
      result = Left(sRemainder, pos - 1);
      sRemainder = Mid(sRemainder, pos + sDelimiter.size());
    }
    return result;
  }

  // lstAvatars is emptied first and nothing fills it, so IsInList is always false.
  void FindHost(const std::u16string& text) {
    std::u16string line = GetToken(text, u"\r\n");
    while (!line.empty()) {  // at least one character
      if (Left(line, 6) == u"ESP to") {
        line = Mid(line, 8);
      } else if (Left(line, 8) == u"ESP from") {
        line = Mid(line, 10);
      }
      const std::size_t pos = InStr(line, u": The Game Is Rock, Paper, Scissors");
      if (pos > 0) {
        const std::u16string name = Left(line, pos - 1);
        if (name != u"<system>") {
          txthost = name;
        }
      }
      line = GetToken(u"", u"\r\n");
    }
  }
};

}  // namespace kelto::literal
