#pragma once

// The window "Kelto": its controls and menus, start-up, and the click handlers.

#include <windows.h>

#include <exception>

#include "link/mod_dapi.h"
#include "window/avatar_list_box.h"
#include "window/choice_commands.h"
#include "window/dpi.h"
#include "window/host_discovery.h"
#include "window/message_wait.h"
#include "window/std_random.h"
#include "window/tokenizer.h"
#include "window/windows_platform.h"

namespace kelto {

class MainWindow final : public ChoiceControls, public HostControls {
 public:
  // Creates the window and its controls, hidden.
  MainWindow(HINSTANCE instance, ModDapi& link, UserNotice& notice);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Runs once before the window is first shown: topmost band first, then the link.
  void Load();
  void Show(int showCommand);
  // Returns the exit status once the window is gone; a failure inside a handler
  // is raised here, outside the system's frames.
  int RunMessageLoop();

  // ChoiceControls
  std::u16string HostText() const override;
  void SetIndicator(Choice choice, int value) override;
  int AutoSendValue() const override;
  void SetDrawText(const std::u16string& text) override;
  std::u16string DrawText() const override;
  // HostControls
  void SetHostText(const std::u16string& text) override;
  AvatarList& Avatars() override { return avatars_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id);
  void OnStayOnTop();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void CreateControls();
  void ApplyLayout(UINT dpi);
  void SizeClientArea(UINT dpi, int left, int top);
  HWND Control(int id) const;
  std::u16string ControlText(int id) const;

  ModDapi& link_;
  HWND window_ = nullptr;
  HWND savedFocus_ = nullptr;
  dpi::UniqueFont font_;
  std::exception_ptr failure_;

  AvatarListBox avatars_;
  Tokenizer tokenizer_;  // its remainder outlives each "Get Host"
  WindowsTextCase textCase_;
  LocalTimeOfDay timeOfDay_;
  StdUnitRandom random_;
  MessageWait wait_{window_};
  ChoiceCommands choices_;
  HostDiscovery discovery_;
};

}  // namespace kelto
