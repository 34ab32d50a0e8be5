// Identifiers shared by the resource script, the window and its tests.
#pragma once

#define IDI_KELTO 1
#define IDR_MAINMENU 2

#define IDM_EXIT 201
#define IDM_STAY 202

// Controls, in tab-index order. None is IDOK (1) or IDCANCEL (2), so Enter and Esc
// press nothing: the window has no default or cancel button.
#define IDC_FRAME1 100
#define IDC_TXTHOST 101
#define IDC_COMMAND1 102
#define IDC_COMMAND2 103
#define IDC_COMMAND3 104
#define IDC_COMMAND4 105
#define IDC_LSTAVATARS 106
#define IDC_CHECK1 107
#define IDC_CHECK2 108
#define IDC_CHECK3 109
#define IDC_COMMAND5 110
#define IDC_TEXT1 111
#define IDC_CHECK4 112

#define KELTO_WINDOW_CLASS L"KeltoMainWindow"
