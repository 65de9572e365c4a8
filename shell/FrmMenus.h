// The window that owns the desktop's popup menus and is never seen: the
// desktop menu (Menupropty) with its commands, and the drop menu
// (Dragemainmenus). What the commands do to the windows goes through links.
#pragma once

#include "common/Handles.h"
#include "common/Window.h"
#include "shell/DropMenuIndex.h"
#include "shell/MenuIndex.h"
#include "shell/DesktopInventory.h"

#include <functional>
#include <string>

namespace velmora {

// What the commands ask of the rest of the desktop.
struct MenuLinks {
  std::function<void()> refresh;          // Refresh: close the dialog, re-place, rebuild, redraw
  std::function<void()> forgetLayout;     // every item to be laid out afresh
  std::function<void()> arranged;         // the items read again in a new order: the layer follows
  std::function<void()> autoArrange;      // rebuild and redraw
  std::function<void()> properties;       // the settings dialog
  std::function<void()> exit;             // the program's shut-down
  // Starts a command line as a process of its own (the display control panel).
  std::function<void(const std::wstring& commandLine, int show)> startProcess;
  // The shell made its taskbar again ("TaskbarCreated": Explorer restarted).
  std::function<void()> shellRestarted;
};

class FrmMenus : public Window {
 public:
  // `items`: the desktop items, which the arrange entries read again.
  FrmMenus(std::string appDirectory, DesktopInventory& items, MenuLinks links);
  ~FrmMenus() override;

  static constexpr const char* kClassName = "VelmoraFrmMenus";

  // Creates the hidden window off the screen, builds the menus and restores
  // the check marks of the lock and of the stored arrange order.
  bool Load();
  void Unload() { Destroy(); }

  // Pops up the desktop menu at a screen point as a menu of `owner`, and
  // carries out the entry chosen.
  void ShowDesktopMenu(HWND owner, POINT screen);
  // Pops up the drop menu; the index chosen, or -1 when it was dismissed.
  int ChooseDropCommand(HWND owner, POINT screen);

  // One command of the desktop menu.
  void RightmenusClick(int index);

  bool IconsLocked() const;
  // For tests: picks the command of a menu instead of tracking it.
  void SetMenuChooser(std::function<int(HMENU)> chooser) { chooser_ = std::move(chooser); }
  // Where the commands start processes (a test looks at what would start).
  void SetProcessStarter(std::function<void(const std::wstring&, int)> start) {
    links_.startProcess = std::move(start);
  }
  int CurrentArrangeIndex() const { return currentArrangeIndex_; }
  HMENU DesktopMenu() const { return static_cast<HMENU>(desktopMenu_.get()); }
  HMENU DropMenu() const { return static_cast<HMENU>(dropMenu_.get()); }
  bool Checked(int index) const;

  // The display control panel, as the Properties entry starts it.
  static constexpr const wchar_t* kDisplayPanel =
      L"rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,0";

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The message the shell broadcasts to top-level windows when its taskbar
  // is made (at its start, and again after a restart).
  const UINT taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
  void Arrange(int index);
  void CheckArrangeEntry(int index);
  int Track(HMENU menu, HWND owner, POINT screen);

  std::string appDirectory_;
  DesktopInventory& items_;
  MenuLinks links_;
  UniqueMenu desktopMenu_;  // Menupropty
  UniqueMenu dropMenu_;     // Dragemainmenus
  int currentArrangeIndex_ = 0;
  std::function<int(HMENU)> chooser_;
};

}  // namespace velmora
