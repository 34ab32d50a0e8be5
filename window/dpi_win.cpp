#include "window/dpi_win.h"

namespace kelto::dpi {
namespace {

constexpr UINT kDefaultDpi = 96;

template <typename Proc>
Proc User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

UINT SystemDpi() {
  UINT dpi = kDefaultDpi;
  if (const HDC screen = GetDC(nullptr)) {
    dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? dpi : kDefaultDpi;
}

UINT ForWindow(HWND window) {
  using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowProc>("GetDpiForWindow");
  if (getDpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) {
      return dpi;
    }
  }
  return SystemDpi();
}

RECT WindowRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustForDpiProc = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpiProc>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, clientWidth, clientHeight};
  if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, TRUE, exStyle, dpi)) {
    AdjustWindowRectEx(&rect, style, TRUE, exStyle);
  }
  return rect;
}

UniqueFont MessageFont(UINT dpi) {
  using ParametersForDpiProc = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  static const auto parametersForDpi =
      User32Function<ParametersForDpiProc>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (parametersForDpi != nullptr &&
      parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    // The dialog font that every Windows version maps to its message font.
    LOGFONTW font{};
    font.lfHeight = -MulDiv(8, static_cast<int>(dpi), 72);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&font));
  }
  // The metrics come at the system DPI; scale them to the window's.
  metrics.lfMessageFont.lfHeight =
      MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

int LineHeight(HFONT font) {
  if (font == nullptr) {
    return 0;
  }
  const HDC screen = GetDC(nullptr);
  if (screen == nullptr) {
    return 0;
  }
  int height = 0;
  if (const HGDIOBJ previous = SelectObject(screen, font); previous != nullptr) {
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(screen, &metrics)) {
      height = metrics.tmHeight;
    }
    SelectObject(screen, previous);
  }
  ReleaseDC(nullptr, screen);
  return height;
}

bool SameFont(HFONT first, HFONT second) {
  LOGFONTW a{};
  LOGFONTW b{};
  if (first == nullptr || second == nullptr || GetObjectW(first, sizeof a, &a) == 0 ||
      GetObjectW(second, sizeof b, &b) == 0) {
    return false;
  }
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight &&
         a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
         a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
         wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0 &&
         LineHeight(first) == LineHeight(second);
}

int Metric(int index, UINT dpi) {
  using MetricsForDpiProc = int(WINAPI*)(int, UINT);
  static const auto metricsForDpi = User32Function<MetricsForDpiProc>("GetSystemMetricsForDpi");
  if (metricsForDpi != nullptr) {
    if (const int value = metricsForDpi(index, dpi); value > 0) {
      return value;
    }
  }
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

UniqueIcon IconAt(HINSTANCE instance, int id, bool small, UINT dpi) {
  const int width = Metric(small ? SM_CXSMICON : SM_CXICON, dpi);
  const int height = Metric(small ? SM_CYSMICON : SM_CYICON, dpi);
  // Not shared: a shared icon is cached at the first size asked for.
  return UniqueIcon(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
}

}  // namespace kelto::dpi
