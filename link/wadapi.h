#pragma once

// The call contract of wadapi.dll, the chat client's 32-bit library: every entry
// point and callback is __stdcall, integers are 16-bit, texts passed in are
// NUL-terminated ANSI, and callback texts are BSTRs whose data are ANSI bytes.

#include <windows.h>

#include <oleauto.h>

namespace kelto::wadapi {

using OnResultProc = void(__stdcall*)(BSTR text);
using OnMessageProc = void(__stdcall*)(BSTR text1, short number, BSTR text2);
using OnAllTextProc = void(__stdcall*)(BSTR text);

using InitDDEProc = short(__stdcall*)(const char* appName, OnResultProc onResult,
                                      OnMessageProc onMessage, OnAllTextProc onAllText);
using DapiRegisterProc = short(__stdcall*)(const char* appName);
using DapiCommunicateProc = short(__stdcall*)(const char* appName, short command, char* text1,
                                              char* text2);
using DapiGetAllTextProc = short(__stdcall*)(const char* appName);

inline constexpr wchar_t kLibraryFile[] = L"wadapi.dll";

}  // namespace kelto::wadapi
