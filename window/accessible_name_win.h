#pragma once

// Gives controls the names assistive technology announces, where their window text
// cannot say them: the indicators show no caption, and the host field's label is the
// frame around it. What answers a screen reader, oleacc and COM, is loaded when one
// first asks, not at start: most starts have no screen reader to wait for.

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace kelto {

class AccessibleNames {
 public:
  AccessibleNames() = default;
  ~AccessibleNames();
  AccessibleNames(const AccessibleNames&) = delete;
  AccessibleNames& operator=(const AccessibleNames&) = delete;

  // Subclasses the control until it is destroyed; false if that failed. The
  // controls must be destroyed before this is.
  bool Set(HWND control, const std::wstring& name);

 private:
  struct NamedControl {
    std::wstring name;
    AccessibleNames* names;
  };
  using CreateStdAccessibleObjectProc = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using LresultFromObjectProc = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

  static LRESULT CALLBACK NamedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data);
  LRESULT Answer(HWND control, const std::wstring& name, WPARAM wParam);
  bool Load();

  bool loadTried_ = false;
  bool joinedCom_ = false;
  CreateStdAccessibleObjectProc createStdAccessibleObject_ = nullptr;
  LresultFromObjectProc lresultFromObject_ = nullptr;
};

}  // namespace kelto
