// A stand-in for the chat client's wadapi.dll, honouring the same calls, callbacks
// and codes. WADAPI_SCENARIO names a scenario file that scripts it (see
// scenario.h); without one it talks over DDE to the chat-client simulator
// KeltoChat. WADAPI_LOG names a file to which every call is appended.

#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "chat_common/call_log.h"
#include "link/wadapi.h"
#include "standin/dde_chat.h"
#include "standin/misaligned_call.h"
#include "standin/scripted_chat.h"

namespace {

namespace wadapi = kelto::wadapi;
using kelto::standin::ChatBackend;

struct StandIn {
  wadapi::OnResultProc onResult = nullptr;
  wadapi::OnMessageProc onMessage = nullptr;
  wadapi::OnAllTextProc onAllText = nullptr;
  std::unique_ptr<ChatBackend> backend;
  unsigned misalignment = 0;  // the stack's, at every callback
};

StandIn& State() {
  static StandIn state;
  return state;
}

std::string Environment(const char* name) {
  char value[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

void Log(const std::string& line) {
  const std::string path = Environment("WADAPI_LOG");
  if (path.empty()) {
    return;
  }
  if (FILE* file = std::fopen(path.c_str(), "ab")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

std::string Quote(const char* text) {
  return kelto::chat_protocol::QuoteBytes(text != nullptr ? text : "");
}

// Each callback text is a BSTR of ANSI bytes, owned by the library and freed after
// the callback returns.
class CallbackText {
 public:
  explicit CallbackText(const std::string& bytes)
      : text_(SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()))) {}
  ~CallbackText() { SysFreeString(text_); }
  CallbackText(const CallbackText&) = delete;
  CallbackText& operator=(const CallbackText&) = delete;
  BSTR get() const { return text_; }

 private:
  BSTR text_;
};

kelto::standin::Callbacks KeltoCallbacks() {
  return {[](const std::string& text) {
            if (State().onAllText != nullptr) {
              const CallbackText bstr(text);
              kelto::standin::CallAllText(State().onAllText, bstr.get(), State().misalignment);
            }
          },
          [](const std::string& text1, short number, const std::string& text2) {
            if (State().onMessage != nullptr) {
              const CallbackText first(text1);
              const CallbackText second(text2);
              kelto::standin::CallMessage(State().onMessage, first.get(), number, second.get(),
                                          State().misalignment);
            }
          }};
}

void DeliverResult(const std::optional<std::string>& code) {
  if (code && State().onResult != nullptr) {
    const CallbackText text(*code);
    kelto::standin::CallResult(State().onResult, text.get(), State().misalignment);
  }
}

// The scripted back end when a scenario is named, else the simulator over DDE. A
// scenario file that is missing or malformed is said on standard error; InitDDE
// then refuses.
std::unique_ptr<ChatBackend> ChooseBackend() {
  State().misalignment = 0;
  const std::string path = Environment("WADAPI_SCENARIO");
  if (path.empty()) {
    return std::make_unique<kelto::standin::DdeChat>(KeltoCallbacks());
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "wadapi stand-in: cannot read the scenario file %s\n", path.c_str());
    return nullptr;
  }
  std::ostringstream text;
  text << file.rdbuf();
  try {
    kelto::standin::Scenario scenario = kelto::standin::ParseScenario(text.str());
    State().misalignment = scenario.misalignment;
    return std::make_unique<kelto::standin::ScriptedChat>(std::move(scenario), KeltoCallbacks());
  } catch (const kelto::standin::ScenarioError& error) {
    std::fprintf(stderr, "wadapi stand-in: %s: %s\n", path.c_str(), error.what());
    return nullptr;
  }
}

// Runs an entry point's body; no exception may unwind into Kelto through the library's
// frames. A failure is written to the log, and the entry point answers as the chat
// client does when it cannot take a request.
template <typename Body>
short Guarded(const char* entry, short onFailure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    try {
      std::string why = "failed in " + std::string(entry);
      try {
        throw;
      } catch (const std::exception& error) {
        why += std::string(": ") + error.what();
      } catch (...) {
        why += " (not a standard exception)";
      }
      Log(why);
    } catch (...) {
      // Deliberately empty: nothing is left to report with.
    }
  }
  return onFailure;
}

// A request that failed inside the stand-in is answered as the chat client answers
// one it cannot take: "-1".
template <typename Body>
short GuardedRequest(const char* entry, Body&& body) noexcept {
  const short answer = Guarded(entry, 1, std::forward<Body>(body));
  if (answer != 0) {
    try {
      DeliverResult(std::string("-1"));
    } catch (...) {
      // Deliberately empty: Kelto then reads the code the last request left.
    }
  }
  return answer;
}

}  // namespace

extern "C" {

short __stdcall InitDDE(const char* appName, wadapi::OnResultProc onResult,
                        wadapi::OnMessageProc onMessage, wadapi::OnAllTextProc onAllText) {
  return Guarded("InitDDE", 1, [&]() -> short {  // a failure refuses the link
    Log("InitDDE " + Quote(appName));
    StandIn& state = State();
    state.onResult = onResult;
    state.onMessage = onMessage;
    state.onAllText = onAllText;
    state.backend = ChooseBackend();
    return state.backend != nullptr ? state.backend->Init(appName) : static_cast<short>(1);
  });
}

short __stdcall DapiRegister(const char* appName) {
  return Guarded("DapiRegister", 0, [&]() -> short {
    Log("DapiRegister " + Quote(appName));
    if (State().backend != nullptr) {
      State().backend->Register(appName);
    }
    return 0;
  });
}

short __stdcall DapiCommunicate(const char* appName, short command, char* text1, char* text2) {
  return GuardedRequest("DapiCommunicate", [&]() -> short {
    Log("DapiCommunicate " + Quote(appName) + " " + std::to_string(command) + " " + Quote(text1) +
        " " + Quote(text2));
    if (State().backend != nullptr) {
      DeliverResult(State().backend->Communicate(appName, command, text1, text2));
    }
    return 0;
  });
}

short __stdcall DapiGetAllText(const char* appName) {
  return GuardedRequest("DapiGetAllText", [&]() -> short {
    Log("DapiGetAllText " + Quote(appName));
    if (State().backend != nullptr) {
      DeliverResult(State().backend->GetAllText(appName));
    }
    return 0;
  });
}

}  // extern "C"
