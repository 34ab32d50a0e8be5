#include "standin/scenario.h"

#include <algorithm>
#include <charconv>

#include "chat_common/default_chat.h"

namespace kelto::standin {
namespace {

class LineReader {
 public:
  LineReader(std::string_view line, int number) : rest_(line), number_(number) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw ScenarioError("line " + std::to_string(number_) + ": " + what);
  }

  bool AtEnd() {
    SkipSpace();
    return rest_.empty() || rest_.front() == '#';
  }

  std::string_view Word() {
    SkipSpace();
    std::size_t end = 0;
    while (end < rest_.size() && rest_[end] != ' ' && rest_[end] != '\t') {
      ++end;
    }
    const std::string_view word = rest_.substr(0, end);
    rest_.remove_prefix(end);
    return word;
  }

  bool NextIsText() {
    SkipSpace();
    return !rest_.empty() && rest_.front() == '"';
  }

  template <typename Integer>
  Integer Number() {
    const std::string_view word = Word();
    Integer value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || error != std::errc() || end != word.data() + word.size()) {
      Fail("expected a number, found '" + std::string(word) + "'");
    }
    return value;
  }

  std::string Text() {
    if (!NextIsText()) {
      Fail("expected a text in double quotes");
    }
    rest_.remove_prefix(1);
    std::string bytes;
    while (!rest_.empty() && rest_.front() != '"') {
      char c = rest_.front();
      rest_.remove_prefix(1);
      if (c == '\\') {
        c = Escape();
      }
      bytes.push_back(c);
    }
    if (rest_.empty()) {
      Fail("unterminated text");
    }
    rest_.remove_prefix(1);
    return bytes;
  }

  std::optional<std::string> TextOrNone() {
    if (NextIsText()) {
      return Text();
    }
    const std::string_view word = Word();
    if (word != "none") {
      Fail("expected a text in double quotes or 'none'");
    }
    return std::nullopt;
  }

 private:
  void SkipSpace() {
    while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t')) {
      rest_.remove_prefix(1);
    }
  }

  char Escape() {
    if (rest_.empty()) {
      Fail("text ends inside an escape");
    }
    const char kind = rest_.front();
    rest_.remove_prefix(1);
    switch (kind) {
      case 'r':
        return '\r';
      case 'n':
        return '\n';
      case 't':
        return '\t';
      case '0':
        return '\0';
      case '\\':
        return '\\';
      case '"':
        return '"';
      case 'x': {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(
            rest_.data(), rest_.data() + std::min<std::size_t>(2, rest_.size()), value, 16);
        if (error != std::errc() || end != rest_.data() + 2) {
          Fail("\\x needs two hexadecimal digits");
        }
        rest_.remove_prefix(2);
        return static_cast<char>(value);
      }
      default:
        Fail(std::string("unknown escape \\") + kind);
    }
  }

  std::string_view rest_;
  int number_;
};

void ParseStatement(LineReader& line, Scenario& scenario) {
  const std::string_view keyword = line.Word();
  if (keyword == "init") {
    scenario.initAnswer = line.Number<std::int16_t>();
  } else if (keyword == "result") {
    scenario.results.push_back(line.TextOrNone());
  } else if (keyword == "then") {
    scenario.then = line.TextOrNone();
  } else if (keyword == "alltext") {
    scenario.allText = line.Text();
  } else if (keyword == "deliver") {
    const std::string_view when = line.Word();
    if (when == "inside") {
      scenario.delivery = Scenario::Delivery::Inside;
    } else if (when == "later") {
      scenario.delivery = Scenario::Delivery::Later;
      scenario.laterMilliseconds = line.Number<unsigned>();
    } else if (when == "never") {
      scenario.delivery = Scenario::Delivery::Never;
    } else {
      line.Fail("deliver takes inside, later MS or never");
    }
  } else if (keyword == "message") {
    Scenario::Message message;
    message.text1 = line.Text();
    message.number = line.Number<std::int16_t>();
    message.text2 = line.Text();
    scenario.messages.push_back(std::move(message));
  } else if (keyword == "write") {
    Scenario::BufferWrite write;
    write.buffer = line.Number<int>();
    if (write.buffer != 1 && write.buffer != 2) {
      line.Fail("write takes buffer 1 or 2");
    }
    write.offset = line.Number<std::size_t>();
    write.bytes = line.Text();
    scenario.writes.push_back(std::move(write));
  } else if (keyword == "fill") {
    scenario.fillMegabytes = line.Number<std::size_t>();
  } else if (keyword == "keepquit") {
    scenario.pumpKeepsQuit = true;
  } else if (keyword == "pump") {
    scenario.pumpMilliseconds = line.Number<unsigned>();
  } else if (keyword == "misalign") {
    scenario.misalignment = line.Number<unsigned>();
    if (scenario.misalignment % 4 != 0 || scenario.misalignment >= 16) {
      line.Fail("misalign takes 0, 4, 8 or 12");
    }
  } else {
    line.Fail("unknown statement '" + std::string(keyword) + "'");
  }
  if (!line.AtEnd()) {
    line.Fail("unexpected text after the statement");
  }
}

}  // namespace

std::string DefaultChatText() {
  std::string text;
  for (const char* line : chat_protocol::kDefaultChatLines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

Scenario ParseScenario(std::string_view text) {
  Scenario scenario;
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view lineText = text.substr(0, end);
    if (!lineText.empty() && lineText.back() == '\r') {
      lineText.remove_suffix(1);
    }
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    LineReader line(lineText, ++number);
    if (!line.AtEnd()) {
      ParseStatement(line, scenario);
    }
  }
  return scenario;
}

std::optional<std::string> ResultFor(const Scenario& scenario, std::size_t requestIndex) {
  return requestIndex < scenario.results.size() ? scenario.results[requestIndex] : scenario.then;
}

std::string ChatText(const Scenario& scenario) {
  constexpr std::string_view kLine = "avatar: chatting about the weather, and other things\r\n";
  std::string text;
  text.reserve(scenario.fillMegabytes * (1 << 20) + kLine.size() + scenario.allText.size());
  while (text.size() < scenario.fillMegabytes * (1 << 20)) {
    text += kLine;
  }
  text += scenario.allText;
  return text;
}

void ApplyWrites(const Scenario& scenario, int buffer, char* text, std::size_t length) {
  for (const Scenario::BufferWrite& write : scenario.writes) {
    if (write.buffer != buffer || write.offset >= length) {
      continue;
    }
    const std::size_t count = std::min(write.bytes.size(), length - write.offset);
    std::copy_n(write.bytes.begin(), count, text + write.offset);
  }
}

}  // namespace kelto::standin
