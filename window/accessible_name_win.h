#pragma once

// Gives a control the name assistive technology announces, where its window text
// cannot say it: the indicators show no caption, and the host field's label is the
// frame around it.

#include <windows.h>

#include <string>

namespace kelto {

// Subclasses the control until it is destroyed; false if that failed.
bool SetAccessibleName(HWND control, const std::wstring& name);

}  // namespace kelto
