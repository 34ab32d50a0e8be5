#include "simulator/chat_server.h"

#include <exception>
#include <new>
#include <stdexcept>
#include <vector>

#include "chat_common/dde_conversation.h"
#include "link/ansi_code_page_win.h"

namespace kelto::simulator {
namespace {

namespace protocol = kelto::chat_protocol;

ChatServer* g_server = nullptr;  // DDEML callbacks carry no context of their own

std::vector<std::string> Fields(const std::string& data) {
  std::vector<std::string> fields(1);
  for (const char c : data) {
    if (c == protocol::kSeparator) {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

}  // namespace

ChatServer::ChatServer(ChatRoom& room, ServerHost& host) : room_(room), host_(host) {
  g_server = this;
}

ChatServer::~ChatServer() {
  if (instance_ != 0) {
    DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
    for (HSZ handle : {service_, topic_, allText_, result_}) {
      if (handle != nullptr) {
        DdeFreeStringHandle(instance_, handle);
      }
    }
    DdeUninitialize(instance_);
  }
  g_server = nullptr;
}

bool ChatServer::Start() {
  if (DdeInitializeA(&instance_, Callback,
                     APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                     0) != DMLERR_NO_ERROR) {
    instance_ = 0;
    return false;
  }
  service_ = DdeCreateStringHandleA(instance_, protocol::kService, CP_WINANSI);
  topic_ = DdeCreateStringHandleA(instance_, protocol::kTopic, CP_WINANSI);
  allText_ = DdeCreateStringHandleA(instance_, protocol::kItemAllText, CP_WINANSI);
  result_ = DdeCreateStringHandleA(instance_, protocol::kItemResult, CP_WINANSI);
  return service_ != nullptr && topic_ != nullptr && allText_ != nullptr && result_ != nullptr &&
         DdeNameService(instance_, service_, nullptr, DNS_REGISTER) != nullptr;
}

void ChatServer::SendAllText() {
  if (instance_ != 0) {
    ForgetGoneClients();
    DdePostAdvise(instance_, topic_, allText_);
  }
}

void ChatServer::SendResult() {
  if (instance_ != 0) {
    ForgetGoneClients();
    DdePostAdvise(instance_, topic_, result_);
  }
}

// A Kelto that was killed, or ended without ending its conversation, leaves its advise
// links behind. Posting to one fails, and DDEML then stops posting, so the Keltos that
// came later would get nothing. Such conversations are ended before anything is posted,
// and get no data meanwhile (Wine cannot end a conversation from the server's side, but
// skips a link whose data is none).
bool ChatServer::PartnerGone(HCONV conversation) {
  CONVINFO info{};
  info.cb = sizeof info;
  return DdeQueryConvInfo(conversation, QID_SYNC, &info) == 0 || !IsWindow(info.hwndPartner);
}

void ChatServer::ForgetGoneClients() {
  for (auto conversation = conversations_.begin(); conversation != conversations_.end();) {
    if (!PartnerGone(*conversation)) {
      ++conversation;
      continue;
    }
    DdeDisconnect(*conversation);
    lastCode_.erase(*conversation);
    conversation = conversations_.erase(conversation);
  }
}

HDDEDATA CALLBACK ChatServer::Callback(UINT type, UINT, HCONV conversation, HSZ topic, HSZ item,
                                       HDDEDATA data, ULONG_PTR, ULONG_PTR) {
  if (g_server == nullptr) {
    return nullptr;
  }
  // No exception may unwind through DDEML's frames: the transaction is refused and the
  // tester told why.
  try {
    return g_server->OnTransaction(type, conversation, topic, item, data);
  } catch (const std::exception& error) {
    g_server->TellFailure(error);
  } catch (...) {
    g_server->TellFailure(std::runtime_error("an unknown failure"));
  }
  return type == XTYP_POKE ? reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED) : nullptr;
}

void ChatServer::TellFailure(const std::exception& error) noexcept {
  try {
    const bool outOfMemory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
    host_.TellLater(outOfMemory ? std::wstring(L"KeltoChat ran out of memory while it answered "
                                               L"Kelto, and refused that request. Close other "
                                               L"programs, or start KeltoChat again with a "
                                               L"shorter chat.")
                                : L"KeltoChat could not answer Kelto's request, and refused it.");
  } catch (...) {
    // Deliberately empty: nothing is left to tell with; the refusal itself reaches Kelto.
  }
}

HDDEDATA ChatServer::OnTransaction(UINT type, HCONV conversation, HSZ topic, HSZ item,
                                   HDDEDATA data) {
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(static_cast<INT_PTR>(
          DdeCmpStringHandles(topic, topic_) == 0 && !host_.Behaviour().refuseLink));
    case XTYP_ADVSTART:
      return reinterpret_cast<HDDEDATA>(static_cast<INT_PTR>(
          DdeCmpStringHandles(item, allText_) == 0 || DdeCmpStringHandles(item, result_) == 0));
    case XTYP_ADVREQ:
      if (PartnerGone(conversation)) {
        return nullptr;
      }
      if (DdeCmpStringHandles(item, result_) == 0) {
        return TextData(item, lastCode_[conversation]);
      }
      return AllTextData(item);
    case XTYP_POKE: {
      const std::string bytes = protocol::DataText(data);
      OnPoke(conversation, Name(item), bytes);
      // Advise data sent before the poke's acknowledgement would overtake it, and
      // Wine's DDEML would then take the data for the acknowledgement.
      host_.SendResultSoon();
      return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }
    case XTYP_CONNECT_CONFIRM:
      conversations_.insert(conversation);
      return nullptr;
    case XTYP_DISCONNECT:
      conversations_.erase(conversation);
      lastCode_.erase(conversation);
      return nullptr;
    default:
      return nullptr;
  }
}

void ChatServer::OnPoke(HCONV conversation, const std::string& item, const std::string& data) {
  const std::vector<std::string> fields = Fields(data);
  const LinkBehaviour behaviour = host_.Behaviour();
  std::string& code = lastCode_[conversation];
  if (item == protocol::kItemRegister) {
    code = room_.Judge(Request::Register, fields[0], behaviour);
  } else if (item == protocol::kItemDeliver && fields.size() == 4) {
    code = room_.Judge(Request::Deliver, fields[0], behaviour);
    if (code == "0") {
      room_.Say(ChatRoom::DeliveredLine(WidenFromAnsi(fields[2]), WidenFromAnsi(fields[3])));
      host_.LineAdded(room_.Lines().back());
    }
  } else if (item == protocol::kItemGetAllText) {
    code = room_.Judge(Request::GetAllText, fields[0], behaviour);
    if (code == "0" && !behaviour.neverDeliverText) {
      host_.SendTextLater(behaviour.textDelayMs);
    }
  } else {
    code = "-1";
  }
}

// The whole chat, or, when it cannot be had in one piece, nothing, and the tester is
// told why instead of waiting in vain.
HDDEDATA ChatServer::AllTextData(HSZ item) {
  const std::u16string text = room_.Text();
  const std::wstring size = std::to_wstring(text.size() >> 20) + L" MB";
  try {
    if (const HDDEDATA data = TextData(item, NarrowToAnsi(text))) {
      return data;
    }
    host_.TellLater(L"KeltoChat could not send its chat text of " + size +
                    L" to Kelto: DDE could not hold it (error " +
                    std::to_wstring(DdeGetLastError(instance_)) +
                    L"). Close KeltoChat and start it again with a shorter chat.");
  } catch (const std::exception&) {
    host_.TellLater(L"KeltoChat could not send its chat text of " + size +
                    L" to Kelto: there is not enough memory for it. Close KeltoChat and start "
                    L"it again with a shorter chat.");
  }
  return nullptr;
}

HDDEDATA ChatServer::TextData(HSZ item, const std::string& bytes) {
  return DdeCreateDataHandle(instance_, reinterpret_cast<BYTE*>(const_cast<char*>(bytes.c_str())),
                             static_cast<DWORD>(bytes.size()) + 1, 0, item, CF_TEXT, 0);
}

std::string ChatServer::Name(HSZ handle) const {
  char name[256] = {};
  DdeQueryStringA(instance_, handle, name, sizeof name, CP_WINANSI);
  return name;
}

}  // namespace kelto::simulator
