#pragma once

// Calls Kelto's callbacks with the stack aligned as the scenario says. 32-bit Windows
// promises a callee only a 4-byte-aligned stack, and a library built by an older
// compiler gives no more; Kelto must work so.

#include "link/wadapi.h"

namespace kelto::standin {

// Each call enters the callback with the stack `misalignment` bytes (0, 4, 8 or 12)
// short of a 16-byte boundary. The 64-bit build calls as usual: there every caller
// keeps the stack aligned.
void CallResult(wadapi::OnResultProc callback, BSTR text, unsigned misalignment);
void CallAllText(wadapi::OnAllTextProc callback, BSTR text, unsigned misalignment);
void CallMessage(wadapi::OnMessageProc callback, BSTR text1, short number, BSTR text2,
                 unsigned misalignment);

}  // namespace kelto::standin
