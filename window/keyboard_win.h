#pragma once

// The keys Kelto answers in its own way, before the dialog manager sees them. A move
// goes out only on a deliberate command: a click, Space or Enter on the focused
// button, or Alt with an access key. The dialog manager would also take a plain
// letter as an access key whenever a button has the focus, and a user who goes on
// typing a chat line into Kelto would play moves.

#include <windows.h>

namespace kelto::keyboard {

// True when the message is done with here:
// - a character typed without Alt where the focus takes no text: dropped;
// - Enter on a push button: that button's click, once a press, never on auto-repeat;
// - an arrow where the focus takes none: the next control of its group;
// - Alt and `fieldKey` (the host frame's access key): `field` focused, its text selected,
//   as Tab leaves it.
bool Handle(HWND window, const MSG& message, HWND field, wchar_t fieldKey);

// The letter after a caption's "&", upper-cased; 0 where there is none.
wchar_t AccessKey(const wchar_t* caption);

}  // namespace kelto::keyboard
