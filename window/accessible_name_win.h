#pragma once

// Gives controls the names assistive technology announces, where their window text
// cannot say them: the indicators show no caption, and the host field's label is the
// frame around it. What answers a screen reader, oleacc and COM, is loaded when one
// first asks, not at start: most starts have no screen reader to wait for.
// The name goes first by Dynamic Annotation, the system's own way, which leaves each
// control the accessible objects the system gives it (UI Automation keeps the edit
// control's text pattern). Where the system has no annotation service, the control
// answers with an accessible object of its own, which carries the name.

#include <windows.h>

#include <oleacc.h>

#include <string>

#include "window/com_ptr_win.h"

namespace kelto {

class AccessibleNames {
 public:
  AccessibleNames() = default;
  ~AccessibleNames();
  AccessibleNames(const AccessibleNames&) = delete;
  AccessibleNames& operator=(const AccessibleNames&) = delete;

  // Subclasses the control until it is destroyed; false if that failed. `shortcut`
  // ("Alt+H"), where not empty, is announced as the control's access key. The controls
  // must be destroyed before this is.
  bool Set(HWND control, const std::wstring& name, const std::wstring& shortcut = {});

  // Whether a name went by annotation, once a screen reader has asked for one.
  bool Annotated() const { return annotated_; }

 private:
  struct NamedControl {
    std::wstring name;
    std::wstring shortcut;
    AccessibleNames* names;
    bool tried = false;
    bool annotated = false;
  };
  using CreateStdAccessibleObjectProc = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using LresultFromObjectProc = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

  static LRESULT CALLBACK NamedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data);
  LRESULT Answer(HWND control, const NamedControl& named, WPARAM wParam);
  bool Annotate(HWND control, const NamedControl& named);
  void ClearAnnotation(HWND control);
  bool Load();

  bool loadTried_ = false;
  bool joinedCom_ = false;
  bool annotated_ = false;
  CreateStdAccessibleObjectProc createStdAccessibleObject_ = nullptr;
  LresultFromObjectProc lresultFromObject_ = nullptr;
  ComPtr<IAccPropServices> services_;  // null where the system has no annotation
};

}  // namespace kelto
