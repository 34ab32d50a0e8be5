#pragma once

// What the stand-in wadapi.dll is scripted to do, and the text format of its
// scenario files and call logs.
//
// A scenario file has one statement a line; '#' starts a comment. Texts are in
// double quotes with the escapes \r \n \t \0 \\ \" and \xNN, so any byte can be said.
//   init N                   InitDDE's answer (0: link up)
//   result "CODE" | none     the code for the next request; none: no OnDapiResult
//   then "CODE" | none       the code for every request after the listed ones
//   alltext "BYTES"          the chat text that DapiGetAllText delivers
//   deliver inside | later MS | never
//                            when the chat text comes: inside the call, on a timer
//                            MS milliseconds later, or not at all
//   message "T1" N "T2"      an OnDapiMessage sent inside every request
//   write B OFFSET "BYTES"   bytes written into DapiCommunicate's buffer B (1 or 2)
//                            at OFFSET on every call, never past the buffer's text
//   pump MS                  every request handles the thread's window messages for
//                            MS milliseconds before it answers, as a library may
//   keepquit                 those pumps keep a quit request for themselves, where
//                            they would otherwise leave it for the caller's loop
//   fill MEGABYTES           that many megabytes of ordinary chat lines in front of
//                            the chat text, for big-text tests
//   misalign BYTES           every callback is entered with the stack BYTES (4, 8 or
//                            12) short of a 16-byte boundary, as a library built by
//                            another compiler may call: 32-bit Windows promises only 4

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelto::standin {

// The default chat, each line followed by CR LF, as the chat client hands it over.
std::string DefaultChatText();

struct Scenario {
  enum class Delivery : std::uint8_t { Inside, Later, Never };
  struct Message {
    std::string text1;
    std::int16_t number = 0;
    std::string text2;
  };
  struct BufferWrite {
    int buffer = 1;
    std::size_t offset = 0;
    std::string bytes;
  };

  std::int16_t initAnswer = 0;
  std::vector<std::optional<std::string>> results;
  std::optional<std::string> then = std::string("0");
  std::string allText = DefaultChatText();
  Delivery delivery = Delivery::Inside;
  unsigned laterMilliseconds = 0;
  std::vector<Message> messages;
  std::vector<BufferWrite> writes;
  unsigned pumpMilliseconds = 0;
  bool pumpKeepsQuit = false;
  std::size_t fillMegabytes = 0;
  unsigned misalignment = 0;
};

class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws ScenarioError naming the line at fault.
Scenario ParseScenario(std::string_view text);

// The code a request gets: the next listed one, or `then` once they are used up.
std::optional<std::string> ResultFor(const Scenario& scenario, std::size_t requestIndex);

// The chat text to deliver: the fill, then the scripted text.
std::string ChatText(const Scenario& scenario);

// Applies the scenario's writes to a buffer of `length` bytes before its NUL.
void ApplyWrites(const Scenario& scenario, int buffer, char* text, std::size_t length);

}  // namespace kelto::standin
