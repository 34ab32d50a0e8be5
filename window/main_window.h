#pragma once

// The window "Kelto": its controls and menus, start-up, the click handlers, and what
// the game's logic needs of it.

#include <windows.h>

#include <exception>

#include "link/link_system.h"
#include "link/mod_dapi.h"
#include "window/accessible_name_win.h"
#include "window/avatar_list_box_win.h"
#include "window/choice_commands.h"
#include "window/click_order.h"
#include "window/dpi_win.h"
#include "window/game_window.h"
#include "window/host_discovery.h"
#include "window/layout_win.h"
#include "window/std_random.h"

namespace kelto {

class MainWindow final : public GameWindow {
 public:
  // Creates the window and its controls, hidden.
  MainWindow(HINSTANCE instance, ModDapi& link, const LinkSystem& system);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Null once the window is gone.
  HWND Handle() const { return window_; }

  // Runs once before the window is first shown: topmost band first, then the link.
  void Load();
  void Show(int showCommand);
  // Returns the exit status once the window is gone; a failure inside a handler
  // is raised here, outside the system's frames.
  int RunMessageLoop();

  std::u16string HostText() const override;
  void SetHostText(const std::u16string& text) override;
  void SetIndicator(Choice choice, int value) override;
  int AutoSendValue() const override;
  std::u16string Text1() const override;
  void SetText1(const std::u16string& text) override;
  AvatarList& Avatars() override { return avatars_; }
  std::u16string Lower(std::u16string_view text) const override;
  double SecondsSinceMidnight() const override;
  WaitEnd WaitForChatText(const std::function<bool()>& arrived) override;
  void Warn(std::u16string_view text) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Dispatch(MSG& message);
  void OnCommand(int id);
  void OnActivate(WORD state, bool minimised);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnSettingChange();
  void OnDestroy();
  void OnButton(int id);
  void OnStayOnTop();
  void SaveFocus();
  void RestoreFocus();
  void CreateControls();
  // The controls at the scale, in the font (null: the one they have).
  void ApplyLayout(dpi::UniqueFont font, const layout::Scale& scale);
  // The controls, their font and the window's icons for the DPI.
  void LayOutAt(UINT dpi);
  // The window's size for the layout, in place, so that its client area is exactly
  // the layout's, however many rows the menu bar takes.
  void SizeToLayout();
  // The window's size for the layout at another DPI.
  SIZE FrameSizeAt(UINT dpi) const;
  // The caption's and Alt+Tab's icons drawn for the DPI, not scaled.
  void SetIcons(UINT dpi);
  // Moved back into its monitor's work area where it has left it.
  void KeepOnWorkArea();
  HWND Control(int id) const;
  std::u16string ControlText(int id) const;
  void SetControlText(int id, const std::u16string& text);

  ModDapi& link_;
  const LinkSystem& system_;
  HWND window_ = nullptr;
  HWND savedFocus_ = nullptr;
  dpi::UniqueFont font_;
  dpi::UniqueIcon smallIcon_;  // both outlive the window: it only shows them
  dpi::UniqueIcon largeIcon_;
  bool dragged_ = false;  // the user is moving the window
  layout::Scale scale_{96, 0};
  std::exception_ptr failure_;
  ULONGLONG lastGetHostClick_ = 0;

  AccessibleNames accessibleNames_;  // outlives the controls: they go in the destructor's body
  AvatarListBox avatars_;
  StdUnitRandom random_;
  ChoiceCommands choices_;
  HostDiscovery discovery_;
  ClickOrder clicks_;
};

}  // namespace kelto
