#include "simulator/chat_window.h"

#include <algorithm>
#include <new>
#include <utility>

#include "link/wide_text_win.h"
#include "simulator/simulator_resource.h"
#include "window/window_text_win.h"

namespace kelto::simulator {
namespace {

constexpr UINT_PTR kSendTextTimer = 1;
constexpr UINT kSendResultMessage = WM_APP + 1;
constexpr UINT kTellMessage = WM_APP + 2;
constexpr const wchar_t* kPrefixes[] = {L"(none)", L"ESP to", L"ESP from"};
// The log shows a long line's start only: an edit control wraps a line of millions of
// characters for minutes. The chat itself, which Kelto reads, keeps the whole line.
constexpr std::size_t kLogLineShown = 1000;

std::wstring LogLine(const std::u16string& line) {
  if (line.size() <= kLogLineShown) {
    return ToWide(line);
  }
  return ToWide(std::u16string_view(line).substr(0, kLogLineShown)) + L"\x2026 (" +
         std::to_wstring(line.size()) + L" characters in all)";
}

}  // namespace

int ChatWindow::Run(HINSTANCE instance) {
  ChatWindow window;
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CHAT), nullptr, DialogProc,
                                         reinterpret_cast<LPARAM>(&window));
  return result == -1 ? 1 : static_cast<int>(result);
}

INT_PTR CALLBACK ChatWindow::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<ChatWindow*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    self->dialog_ = dialog;
  }
  auto* self = reinterpret_cast<ChatWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) {
    return FALSE;
  }
  // No exception may unwind through the system's frames: the tester is told instead.
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (const std::bad_alloc&) {
    MessageBoxW(dialog, L"KeltoChat ran out of memory. Close other programs, or say shorter lines.",
                KELTOCHAT_CAPTION, MB_OK | MB_ICONWARNING);
  } catch (...) {
    MessageBoxW(dialog, L"KeltoChat could not carry out that step.", KELTOCHAT_CAPTION,
                MB_OK | MB_ICONWARNING);
  }
  return TRUE;
}

INT_PTR ChatWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit();
      // The line to say has the focus; the dialog would give it to the log and select
      // the whole chat.
      SetFocus(GetDlgItem(dialog_, IDC_CHAT_LINE));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_CHAT_SAY:
          OnSay(false);
          return TRUE;
        case IDC_CHAT_SAY_EMPTY:
          OnSay(true);
          return TRUE;
        case IDCANCEL:  // Esc and the close box
          server_.reset();
          EndDialog(dialog_, 0);
          return TRUE;
        default:
          return FALSE;
      }
    case kSendResultMessage:
      if (server_) {
        server_->SendResult();
      }
      return TRUE;
    case kTellMessage:
      MessageBoxW(dialog_, notice_.c_str(), KELTOCHAT_CAPTION, MB_OK | MB_ICONWARNING);
      return TRUE;
    case WM_TIMER:
      if (wParam == kSendTextTimer) {
        KillTimer(dialog_, kSendTextTimer);
        if (server_) {
          server_->SendAllText();
        }
      }
      return TRUE;
    default:
      return FALSE;
  }
}

void ChatWindow::OnInit() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog_, GWLP_HINSTANCE));
  for (const auto& [size, metric] : {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
    const int pixels = GetSystemMetrics(metric);
    if (const HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_KELTOCHAT), IMAGE_ICON,
                                       pixels, pixels, LR_SHARED)) {
      SendMessageW(dialog_, WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
    }
  }
  // At the right of the work area, so that it stands beside Kelto rather than under it.
  RECT work{};
  RECT frame{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && GetWindowRect(dialog_, &frame)) {
    SetWindowPos(dialog_, nullptr,
                 std::max(work.left, work.right - (frame.right - frame.left) - 16), work.top + 16,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const HWND prefixes = GetDlgItem(dialog_, IDC_CHAT_PREFIX);
  for (const wchar_t* prefix : kPrefixes) {
    SendMessageW(prefixes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(prefix));
  }
  SendMessageW(prefixes, CB_SETCURSEL, 0, 0);
  SetDlgItemTextW(dialog_, IDC_CHAT_NAME, L"dave");
  SetDlgItemTextW(dialog_, IDC_CHAT_LINE, L"The Game Is Rock, Paper, Scissors");
  SetDlgItemInt(dialog_, IDC_CHAT_BUSY, 0, FALSE);
  SetDlgItemInt(dialog_, IDC_CHAT_DELAY, 0, FALSE);
  // A tester may paste a whole chat into the line; the log holds any length.
  SendDlgItemMessageW(dialog_, IDC_CHAT_LINE, EM_SETLIMITTEXT, 0, 0);
  SendDlgItemMessageW(dialog_, IDC_CHAT_LOG, EM_SETLIMITTEXT, 0, 0);
  ShowWholeChat();
  server_ = std::make_unique<ChatServer>(room_, *this);
  if (!server_->Start()) {
    MessageBoxW(dialog_, L"The DDE service could not be registered.", KELTOCHAT_CAPTION,
                MB_OK | MB_ICONERROR);
    server_.reset();
  }
}

void ChatWindow::OnSay(bool emptyLine) {
  std::wstring line;
  if (!emptyLine) {
    const LRESULT prefix = SendDlgItemMessageW(dialog_, IDC_CHAT_PREFIX, CB_GETCURSEL, 0, 0);
    if (prefix > 0 && prefix < static_cast<LRESULT>(std::size(kPrefixes))) {
      line = std::wstring(kPrefixes[prefix]) + L" ";
    }
    line += ControlText(IDC_CHAT_NAME) + L": " + ControlText(IDC_CHAT_LINE);
  }
  room_.Say(FromWide(line));
  LineAdded(room_.Lines().back());
}

LinkBehaviour ChatWindow::Behaviour() const {
  LinkBehaviour behaviour;
  behaviour.refuseLink = IsDlgButtonChecked(dialog_, IDC_CHAT_REFUSE) == BST_CHECKED;
  behaviour.demandRegistration = IsDlgButtonChecked(dialog_, IDC_CHAT_DEMAND) == BST_CHECKED;
  behaviour.busyTimes = static_cast<int>(GetDlgItemInt(dialog_, IDC_CHAT_BUSY, nullptr, FALSE));
  behaviour.textDelayMs = GetDlgItemInt(dialog_, IDC_CHAT_DELAY, nullptr, FALSE);
  behaviour.neverDeliverText = IsDlgButtonChecked(dialog_, IDC_CHAT_NEVER) == BST_CHECKED;
  return behaviour;
}

void ChatWindow::ShowWholeChat() {
  std::u16string text = room_.Text();
  if (text.size() >= 2) {
    text.resize(text.size() - 2);  // no empty row below the newest line
  }
  SetDlgItemTextW(dialog_, IDC_CHAT_LOG, ToWide(text).c_str());
}

void ChatWindow::LineAdded(const std::u16string& line) {
  // Only the new line is added: setting the whole log again costs as much as the log.
  const HWND log = GetDlgItem(dialog_, IDC_CHAT_LOG);
  const LRESULT length = GetWindowTextLengthW(log);
  SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(length), length);
  const std::wstring added = (length > 0 ? L"\r\n" : L"") + LogLine(line);
  SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
  SendMessageW(log, EM_SCROLLCARET, 0, 0);  // the newest line in view
}

void ChatWindow::TellLater(std::wstring text) {
  notice_ = std::move(text);
  PostMessageW(dialog_, kTellMessage, 0, 0);
}

void ChatWindow::SendTextLater(unsigned delayMs) {
  SetTimer(dialog_, kSendTextTimer, delayMs, nullptr);
}

void ChatWindow::SendResultSoon() {
  PostMessageW(dialog_, kSendResultMessage, 0, 0);
}

std::wstring ChatWindow::ControlText(int id) const {
  return WindowText(GetDlgItem(dialog_, id));
}

}  // namespace kelto::simulator
