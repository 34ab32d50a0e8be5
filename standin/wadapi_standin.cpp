// A stand-in for the chat client's wadapi.dll, honouring the same calls, callbacks
// and codes. WADAPI_SCENARIO names a scenario file that scripts it (see
// scenario.h); WADAPI_LOG names a file to which every call is appended.

#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "link/wadapi.h"
#include "standin/scenario.h"

namespace {

using kelto::standin::Scenario;
namespace wadapi = kelto::wadapi;

struct StandIn {
  Scenario scenario;
  wadapi::OnResultProc onResult = nullptr;
  wadapi::OnMessageProc onMessage = nullptr;
  wadapi::OnAllTextProc onAllText = nullptr;
  std::size_t requests = 0;
  std::map<UINT_PTR, std::string> textsOnTheirWay;  // by timer
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
  return kelto::standin::QuoteBytes(text != nullptr ? text : "");
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

void DeliverAllText(const std::string& text) {
  if (State().onAllText != nullptr) {
    CallbackText bstr(text);
    State().onAllText(bstr.get());
  }
}

void CALLBACK DeliverLater(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  auto& pending = State().textsOnTheirWay;
  const auto found = pending.find(timer);
  if (found != pending.end()) {
    const std::string text = std::move(found->second);
    pending.erase(found);
    DeliverAllText(text);
  }
}

// Messages first, then the request's result code.
void Answer() {
  StandIn& state = State();
  for (const Scenario::Message& message : state.scenario.messages) {
    if (state.onMessage != nullptr) {
      CallbackText text1(message.text1);
      CallbackText text2(message.text2);
      state.onMessage(text1.get(), message.number, text2.get());
    }
  }
  const std::optional<std::string> code =
      kelto::standin::ResultFor(state.scenario, state.requests++);
  if (code && state.onResult != nullptr) {
    CallbackText text(*code);
    state.onResult(text.get());
  }
}

// A missing or malformed scenario is said on standard error; InitDDE then refuses.
bool LoadScenario(Scenario& scenario) {
  const std::string path = Environment("WADAPI_SCENARIO");
  if (path.empty()) {
    scenario = Scenario{};
    return true;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "wadapi stand-in: cannot read the scenario file %s\n", path.c_str());
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();
  try {
    scenario = kelto::standin::ParseScenario(text.str());
    return true;
  } catch (const kelto::standin::ScenarioError& error) {
    std::fprintf(stderr, "wadapi stand-in: %s: %s\n", path.c_str(), error.what());
    return false;
  }
}

}  // namespace

extern "C" {

short __stdcall InitDDE(const char* appName, wadapi::OnResultProc onResult,
                        wadapi::OnMessageProc onMessage, wadapi::OnAllTextProc onAllText) {
  Log("InitDDE " + Quote(appName));
  StandIn& state = State();
  if (!LoadScenario(state.scenario)) {
    return 1;
  }
  state.onResult = onResult;
  state.onMessage = onMessage;
  state.onAllText = onAllText;
  return state.scenario.initAnswer;
}

short __stdcall DapiRegister(const char* appName) {
  Log("DapiRegister " + Quote(appName));
  return 0;
}

short __stdcall DapiCommunicate(const char* appName, short command, char* text1, char* text2) {
  Log("DapiCommunicate " + Quote(appName) + " " + std::to_string(command) + " " + Quote(text1) +
      " " + Quote(text2));
  const Scenario& scenario = State().scenario;
  if (text1 != nullptr) {
    kelto::standin::ApplyWrites(scenario, 1, text1, std::strlen(text1));
  }
  if (text2 != nullptr) {
    kelto::standin::ApplyWrites(scenario, 2, text2, std::strlen(text2));
  }
  Answer();
  return 0;
}

short __stdcall DapiGetAllText(const char* appName) {
  Log("DapiGetAllText " + Quote(appName));
  StandIn& state = State();
  switch (state.scenario.delivery) {
    case Scenario::Delivery::Inside:
      DeliverAllText(state.scenario.allText);
      break;
    case Scenario::Delivery::Later:
      // A thread timer: it fires in whatever message loop this thread runs next.
      if (const UINT_PTR timer =
              SetTimer(nullptr, 0, state.scenario.laterMilliseconds, DeliverLater)) {
        state.textsOnTheirWay[timer] = state.scenario.allText;
      }
      break;
    case Scenario::Delivery::Never:
      break;
  }
  Answer();
  return 0;
}

}  // extern "C"
