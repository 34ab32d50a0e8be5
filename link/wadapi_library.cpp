#include "link/wadapi_library.h"

#include <string_view>

#include "link/run_time_error.h"
#include "link/windows_platform.h"

namespace kelto {
namespace {

// The one link the library's callbacks are forwarded to; the callbacks carry no
// context of their own.
LinkCallbacks* g_callbacks = nullptr;

std::string_view BstrBytes(BSTR text) {
  if (text == nullptr) {
    return {};
  }
  return {reinterpret_cast<const char*>(text), SysStringByteLen(text)};
}

// No exception may unwind through the library's frames.
template <typename Deliver>
void Forward(Deliver&& deliver) noexcept {
  if (g_callbacks == nullptr) {
    return;
  }
  try {
    deliver(*g_callbacks);
  } catch (...) {
    g_callbacks->OnCallbackFailure(std::current_exception());
  }
}

void __stdcall OnDapiResultThunk(BSTR text) {
  Forward([text](LinkCallbacks& link) { link.OnDapiResult(BstrBytes(text)); });
}

void __stdcall OnDapiMessageThunk(BSTR text1, short number, BSTR text2) {
  Forward(
      [=](LinkCallbacks& link) { link.OnDapiMessage(BstrBytes(text1), number, BstrBytes(text2)); });
}

void __stdcall OnDapiAllTextThunk(BSTR text) {
  Forward([text](LinkCallbacks& link) { link.OnDapiAllText(BstrBytes(text)); });
}

std::u16string Ascii(const char* text) {
  return {text, text + std::char_traits<char>::length(text)};
}

}  // namespace

template <typename Proc>
Proc WadapiLibrary::EntryPoint(Proc& cached, const char* name) {
  if (cached != nullptr) {
    return cached;
  }
  if (module_ == nullptr) {
    module_ = LoadLibraryW(wadapi::kLibraryFile);
    if (module_ == nullptr) {
      const DWORD error = GetLastError();
      throw RunTimeError(kErrorLibraryNotFound, appName_.AppName(),
                         u"Can't load the library wadapi.dll: " + SystemErrorText(error));
    }
  }
  FARPROC address = GetProcAddress(module_, name);
  if (address == nullptr) {
    const DWORD error = GetLastError();
    throw RunTimeError(kErrorEntryPointNotFound, appName_.AppName(),
                       u"Can't find the entry point " + Ascii(name) + u" in wadapi.dll: " +
                           SystemErrorText(error));
  }
  cached = reinterpret_cast<Proc>(reinterpret_cast<void*>(address));
  return cached;
}

std::int16_t WadapiLibrary::InitDDE(const char* appName, LinkCallbacks& callbacks) {
  const wadapi::InitDDEProc init = EntryPoint(initDDE_, "InitDDE");
  g_callbacks = &callbacks;
  return init(appName, OnDapiResultThunk, OnDapiMessageThunk, OnDapiAllTextThunk);
}

void WadapiLibrary::DapiRegister(const char* appName) {
  EntryPoint(register_, "DapiRegister")(appName);
}

void WadapiLibrary::DapiCommunicate(const char* appName, std::int16_t command, char* text1,
                                    char* text2) {
  EntryPoint(communicate_, "DapiCommunicate")(appName, command, text1, text2);
}

void WadapiLibrary::DapiGetAllText(const char* appName) {
  EntryPoint(getAllText_, "DapiGetAllText")(appName);
}

}  // namespace kelto
