#pragma once

// The four entry points of wadapi.dll and its three callbacks, in byte terms.
// The Windows loader implements DapiLibrary on the real (or stand-in) DLL; the
// tests implement it with a scripted fake.

#include <cstdint>
#include <exception>
#include <string_view>

namespace kelto {

class LinkCallbacks {
 public:
  virtual ~LinkCallbacks() = default;
  // Each text is the callback's full counted byte string, embedded NULs included.
  virtual void OnDapiResult(std::string_view text) = 0;
  virtual void OnDapiMessage(std::string_view text1, std::int16_t number,
                             std::string_view text2) = 0;
  virtual void OnDapiAllText(std::string_view text) = 0;
  // A callback failed on the library's side of the call; the error must not
  // unwind through the library, so it is handed over to be raised later.
  virtual void OnCallbackFailure(std::exception_ptr error) = 0;
};

class DapiLibrary {
 public:
  virtual ~DapiLibrary() = default;
  virtual std::int16_t InitDDE(const char* appName, LinkCallbacks& callbacks) = 0;
  virtual void DapiRegister(const char* appName) = 0;
  // text1 and text2 are writable, NUL-terminated buffers; the library may
  // overwrite any byte before the terminator.
  virtual void DapiCommunicate(const char* appName, std::int16_t command, char* text1,
                               char* text2) = 0;
  virtual void DapiGetAllText(const char* appName) = 0;
};

}  // namespace kelto
