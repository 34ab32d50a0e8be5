// Libraries that the window tests put beside Kelto.exe as its wadapi.dll, one a define:
//   KELTO_ABSENT  kelto_absent.dll, which the tests never put where the loader looks;
//   KELTO_NEEDY   a wadapi.dll that imports from kelto_absent.dll;
//   KELTO_QUIET   a wadapi.dll that starts only while the system's error boxes are off
//                 for the loading thread, and then refuses the link.
#include <windows.h>

#if defined(KELTO_ABSENT)
extern "C" __declspec(dllexport) int KeltoAbsent() {
  return 0;
}
#elif defined(KELTO_NEEDY)
extern "C" __declspec(dllimport) int KeltoAbsent();
extern "C" __declspec(dllexport) int KeltoNeedy() {
  return KeltoAbsent();
}
#elif defined(KELTO_QUIET)
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  return reason != DLL_PROCESS_ATTACH || (GetThreadErrorMode() & SEM_FAILCRITICALERRORS) != 0;
}
extern "C" __declspec(dllexport) short __stdcall InitDDE(const char*, void*, void*, void*) {
  return 1;
}
#endif
