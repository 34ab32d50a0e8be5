#include "link/wadapi_loader_win.h"

#include <array>
#include <cstdarg>
#include <string_view>

#include "link/module_file_win.h"
#include "link/run_time_error.h"
#include "link/wide_text_win.h"

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

// The system's wording for an error code, without the trailing line break. Some
// wordings name the file as an insert ("Bad EXE format for %1."): every insert gets
// `file`, so that no "%1" is left for the user to read.
std::u16string SystemErrorText(DWORD code, const wchar_t* file) {
  std::array<DWORD_PTR, 9> inserts{};  // %1 to %9, the most a system message may take
  inserts.fill(reinterpret_cast<DWORD_PTR>(file));
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0,
      reinterpret_cast<va_list*>(inserts.data()));
  std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return text.empty() ? u"system error " + DecimalText(code) : FromWide(text);
}

constexpr char16_t kPutBesideTheLibrary[] =
    u"Kelto could not find the chat client's library wadapi.dll. Put Kelto.exe into the chat "
    u"client's folder, beside wadapi.dll, and start it from there.";
constexpr char16_t kDependencyMissing[] =
    u"The chat client's installation may be incomplete: its wadapi.dll needs a library that "
    u"this computer does not have. Repair or reinstall the chat client, then start Kelto "
    u"again.";
constexpr char16_t kFoundButUnusable[] =
    u"Kelto found a wadapi.dll but could not load it. Put Kelto.exe into the chat client's "
    u"folder, beside the chat client's own wadapi.dll, and start it from there.";

// Why the library did not load, in Kelto's words for the usual cases.
std::u16string LoadFailureText(DWORD error) {
  switch (error) {
    case ERROR_MOD_NOT_FOUND:
      return u"the file was not found.";
    case ERROR_BAD_EXE_FORMAT:
      return sizeof(void*) == 4 ? u"it is not a 32-bit Windows library."
                                : u"it is not a 64-bit Windows library.";
    case ERROR_DLL_INIT_FAILED:
      return u"the library failed to start.";
    default:
      return SystemErrorText(error, wadapi::kLibraryFile);
  }
}

// Whether a wadapi.dll stands beside Kelto.exe, the first place the loader looks: then
// "module not found" was about a library that it needs. (A search of its own, such as a
// load as data, may find another file than the loader did.)
bool LibraryBesideKelto() {
  const std::wstring folder = ModuleFolder(nullptr);
  if (folder.empty()) {
    return false;
  }
  const std::wstring separator = folder.back() == L'\\' ? L"" : L"\\";
  const DWORD attributes = GetFileAttributesW((folder + separator + wadapi::kLibraryFile).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The system's own error boxes ("Entry Point Not Found", "Bad Image") kept off this
// thread while it lives: Kelto tells the user itself, in its own words.
class NoSystemErrorBoxes {
 public:
  NoSystemErrorBoxes() { applied_ = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
  ~NoSystemErrorBoxes() {
    if (applied_) {
      SetThreadErrorMode(previous_, nullptr);
    }
  }
  NoSystemErrorBoxes(const NoSystemErrorBoxes&) = delete;
  NoSystemErrorBoxes& operator=(const NoSystemErrorBoxes&) = delete;

 private:
  DWORD previous_ = 0;
  bool applied_ = false;
};

RunTimeError LoadFailure(DWORD error, const std::u16string& appName) {
  const std::u16string cannot = u"Can't load the library wadapi.dll: ";
  if (error == ERROR_MOD_NOT_FOUND && LibraryBesideKelto()) {
    return {kErrorLibraryNotFound, appName,
            cannot + u"wadapi.dll was found, but a library it needs is missing.",
            kDependencyMissing};
  }
  return {kErrorLibraryNotFound, appName, cannot + LoadFailureText(error),
          error == ERROR_MOD_NOT_FOUND ? kPutBesideTheLibrary : kFoundButUnusable};
}

std::u16string ModulePath(HMODULE module) {
  const std::wstring path = ModuleFileName(module);
  return path.empty() ? u"wadapi.dll" : FromWide(path);
}

}  // namespace

WadapiLoader::~WadapiLoader() {
  g_callbacks = nullptr;
}

template <typename Proc>
Proc WadapiLoader::EntryPoint(Proc& cached, const char* name) {
  if (cached != nullptr) {
    return cached;
  }
  if (module_ == nullptr) {
    DWORD error = ERROR_SUCCESS;
    {
      const NoSystemErrorBoxes quiet;
      module_ = LoadLibraryW(wadapi::kLibraryFile);
      error = GetLastError();
    }
    if (module_ == nullptr) {
      throw LoadFailure(error, system_.AppName());
    }
  }
  FARPROC address = GetProcAddress(module_, name);
  if (address == nullptr) {
    const DWORD error = GetLastError();
    throw RunTimeError(kErrorEntryPointNotFound, system_.AppName(),
                       u"Can't find the entry point " + Ascii(name) + u" in wadapi.dll: " +
                           SystemErrorText(error, wadapi::kLibraryFile),
                       u"The wadapi.dll that Kelto found (" + ModulePath(module_) +
                           u") is not one that Kelto can work with: it has no entry point " +
                           Ascii(name) +
                           u". Put Kelto.exe beside the chat client's own wadapi.dll. Kelto "
                           u"will close.");
  }
  cached = reinterpret_cast<Proc>(reinterpret_cast<void*>(address));
  return cached;
}

std::int16_t WadapiLoader::InitDDE(const char* appName, LinkCallbacks& callbacks) {
  const wadapi::InitDDEProc init = EntryPoint(initDDE_, "InitDDE");
  g_callbacks = &callbacks;
  return init(appName, OnDapiResultThunk, OnDapiMessageThunk, OnDapiAllTextThunk);
}

void WadapiLoader::DapiRegister(const char* appName) {
  EntryPoint(register_, "DapiRegister")(appName);
}

void WadapiLoader::DapiCommunicate(const char* appName, std::int16_t command, char* text1,
                                   char* text2) {
  EntryPoint(communicate_, "DapiCommunicate")(appName, command, text1, text2);
}

void WadapiLoader::DapiGetAllText(const char* appName) {
  EntryPoint(getAllText_, "DapiGetAllText")(appName);
}

}  // namespace kelto
