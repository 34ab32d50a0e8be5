// Identifiers shared by the simulator's resource script, its window and the tests.
#pragma once

// The resource compiler reads these, so they stay macros.
// NOLINTBEGIN(modernize-macro-to-enum)

#define IDI_KELTOCHAT 1
#define IDD_CHAT 100
#define IDC_CHAT_LOG 101
#define IDC_CHAT_PREFIX 102
#define IDC_CHAT_NAME 103
#define IDC_CHAT_LINE 104
#define IDC_CHAT_SAY 105
#define IDC_CHAT_SAY_EMPTY 106
#define IDC_CHAT_REFUSE 107
#define IDC_CHAT_DEMAND 108
#define IDC_CHAT_BUSY 109
#define IDC_CHAT_DELAY 110
#define IDC_CHAT_NEVER 111

#define KELTOCHAT_CAPTION L"KeltoChat"
// NOLINTEND(modernize-macro-to-enum)
