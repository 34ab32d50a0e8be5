#include "standin/dde_chat.h"

#include <algorithm>

#include "chat_common/dde_conversation.h"

namespace kelto::standin {
namespace {

DdeChat* g_chat = nullptr;  // DDEML callbacks carry no context of their own

namespace protocol = kelto::chat_protocol;

class StringHandle {
 public:
  StringHandle(DWORD instance, const char* text)
      : instance_(instance), handle_(DdeCreateStringHandleA(instance, text, CP_WINANSI)) {}
  ~StringHandle() {
    if (handle_ != nullptr) {
      DdeFreeStringHandle(instance_, handle_);
    }
  }
  StringHandle(const StringHandle&) = delete;
  StringHandle& operator=(const StringHandle&) = delete;
  HSZ get() const { return handle_; }

 private:
  DWORD instance_;
  HSZ handle_;
};

using protocol::DataText;

}  // namespace

DdeChat::DdeChat(Callbacks callbacks) : callbacks_(std::move(callbacks)) {
  g_chat = this;
}

short DdeChat::Init(const char*) {
  if (DdeInitializeA(&instance_, Callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
    instance_ = 0;
    return 1;
  }
  // Freed at the end of this block, before Shutdown ends the instance they belong to.
  {
    const StringHandle service(instance_, protocol::kService);
    const StringHandle topic(instance_, protocol::kTopic);
    resultItem_ = DdeCreateStringHandleA(instance_, protocol::kItemResult, CP_WINANSI);
    conversation_ = DdeConnect(instance_, service.get(), topic.get(), nullptr);
  }
  if (resultItem_ == nullptr || conversation_ == nullptr ||
      Transaction(protocol::kItemAllText, XTYP_ADVSTART, nullptr) == nullptr ||
      Transaction(protocol::kItemResult, XTYP_ADVSTART, nullptr) == nullptr) {
    Shutdown();
    return 1;  // no simulator running, or it refuses the link
  }
  return 0;
}

// Everything Init made, in reverse: no half-made link is left behind.
void DdeChat::Shutdown() {
  if (conversation_ != nullptr) {
    DdeDisconnect(conversation_);
    conversation_ = nullptr;
  }
  if (resultItem_ != nullptr) {
    DdeFreeStringHandle(instance_, resultItem_);
    resultItem_ = nullptr;
  }
  if (instance_ != 0) {
    DdeUninitialize(instance_);
    instance_ = 0;
  }
}

void DdeChat::Register(const char* appName) {
  Request(protocol::kItemRegister, appName);
}

std::optional<std::string> DdeChat::Communicate(const char* appName, short command, char* text1,
                                                char* text2) {
  const char separator[] = {protocol::kSeparator, '\0'};
  return Request(protocol::kItemDeliver, std::string(appName) + separator +
                                             std::to_string(command) + separator + text1 +
                                             separator + text2);
}

std::optional<std::string> DdeChat::GetAllText(const char* appName) {
  return Request(protocol::kItemGetAllText, appName);
}

std::string DdeChat::Request(const char* item, const std::string& data) {
  result_.reset();
  if (Transaction(item, XTYP_POKE, &data) == nullptr || !WaitForResult()) {
    return "-1";
  }
  return result_.value_or("-1");
}

bool DdeChat::WaitForResult() {
  CONVINFO info{};
  info.cb = sizeof info;
  if (DdeQueryConvInfo(conversation_, QID_SYNC, &info) == 0) {
    return false;
  }
  const ULONGLONG deadline = GetTickCount64() + protocol::kTimeoutMilliseconds;
  while (!result_ && conversation_ != nullptr) {
    MSG message;
    while (!result_ && PeekMessageW(&message, info.hwnd, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (result_ || now >= deadline) {
      break;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50)),
                              QS_POSTMESSAGE | QS_SENDMESSAGE);
  }
  return result_.has_value();
}

HDDEDATA DdeChat::Transaction(const char* item, UINT type, const std::string* data) {
  if (conversation_ == nullptr) {
    return nullptr;
  }
  const StringHandle itemName(instance_, item);
  auto* bytes =
      data != nullptr ? reinterpret_cast<BYTE*>(const_cast<char*>(data->c_str())) : nullptr;
  const DWORD size = data != nullptr ? static_cast<DWORD>(data->size() + 1) : 0;
  return DdeClientTransaction(bytes, size, conversation_, itemName.get(), CF_TEXT, type,
                              protocol::kTimeoutMilliseconds, nullptr);
}

HDDEDATA CALLBACK DdeChat::Callback(UINT type, UINT, HCONV conversation, HSZ, HSZ item,
                                    HDDEDATA data, ULONG_PTR, ULONG_PTR) {
  if (g_chat == nullptr) {
    return nullptr;
  }
  // No exception may unwind through DDEML's frames: data that cannot be taken (a chat
  // text too large for memory) is refused, and the request then ends in "-1".
  try {
    return g_chat->OnTransaction(type, conversation, item, data);
  } catch (...) {
    return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
  }
}

HDDEDATA DdeChat::OnTransaction(UINT type, HCONV conversation, HSZ item, HDDEDATA data) {
  switch (type) {
    case XTYP_ADVDATA:
      if (DdeCmpStringHandles(item, resultItem_) == 0) {
        result_ = DataText(data);
      } else {
        callbacks_.allText(DataText(data));
      }
      return reinterpret_cast<HDDEDATA>(DDE_FACK);
    case XTYP_DISCONNECT:
      if (conversation == conversation_) {
        conversation_ = nullptr;
      }
      return nullptr;
    default:
      return nullptr;
  }
}

}  // namespace kelto::standin
