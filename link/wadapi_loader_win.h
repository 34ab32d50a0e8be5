#pragma once

// Loads wadapi.dll at its first call and binds each entry point at its own first call.

#include <windows.h>

#include "link/dapi_library.h"
#include "link/link_system.h"
#include "link/wadapi.h"

namespace kelto {

class WadapiLoader final : public DapiLibrary {
 public:
  explicit WadapiLoader(const LinkSystem& system) : system_(system) {}
  // A callback the library makes afterwards finds no link and touches nothing.
  ~WadapiLoader() override;
  WadapiLoader(const WadapiLoader&) = delete;
  WadapiLoader& operator=(const WadapiLoader&) = delete;

  std::int16_t InitDDE(const char* appName, LinkCallbacks& callbacks) override;
  void DapiRegister(const char* appName) override;
  void DapiCommunicate(const char* appName, std::int16_t command, char* text1,
                       char* text2) override;
  void DapiGetAllText(const char* appName) override;

 private:
  template <typename Proc>
  Proc EntryPoint(Proc& cached, const char* name);

  const LinkSystem& system_;
  // Never freed: the link is never shut down, and the library keeps our callbacks
  // and its DDE conversation until the process ends.
  HMODULE module_ = nullptr;
  wadapi::InitDDEProc initDDE_ = nullptr;
  wadapi::DapiRegisterProc register_ = nullptr;
  wadapi::DapiCommunicateProc communicate_ = nullptr;
  wadapi::DapiGetAllTextProc getAllText_ = nullptr;
};

}  // namespace kelto
