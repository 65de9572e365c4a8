// The window that owns the desktop's popup menus and is never seen: the
// desktop menu (Menupropty) with its commands, and the drop menu
// (Dragemainmenus). What the commands do to the windows goes through links.
#pragma once

#include "common/Handles.h"
#include "common/Window.h"
#include "shell/DropMenuIndex.h"
#include "shell/ShortcutList.h"

#include <functional>
#include <string>

namespace velmora {

// Indexes of the desktop menu (Rightmenus); a stored arrange mode is one.
enum MenuIndex : int {
  kMenuRefresh = 2,
  kMenuByName = 4,
  kMenuBySize = 5,
  kMenuByType = 6,
  kMenuByModified = 7,
  kMenuAutoArrange = 9,
  kMenuLockIcons = 10,
  kMenuProperties = 12,
  kMenuWallpaperSetting = 13,
  kMenuExit = 15,
};

// What the commands ask of the rest of the desktop.
struct MenuLinks {
  std::function<void()> refresh;          // Refresh: close the dialog, re-place, rebuild, redraw
  std::function<void()> forgetLayout;     // every item to be laid out afresh
  std::function<void()> arranged;         // after a sort: rebuild without redraw, then redraw the layer
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
  FrmMenus(std::string appDirectory, ShortcutList& items, MenuLinks links);
  ~FrmMenus() override;

  static constexpr const char* kClassName = "VelmoraFrmMenus";

  // Creates the hidden window off the screen, builds the menus and restores
  // the lock's check mark from the registry.
  bool Load();
  void Unload() { Destroy(); }

  // Pops up the desktop menu at a screen point as a menu of `owner`, and
  // carries out the entry chosen.
  void ShowDesktopMenu(HWND owner, POINT screen);
  // Pops up the drop menu; the index chosen, or -1 when it was dismissed.
  int ChooseDropCommand(HWND owner, POINT screen);

  // One command; with `fromLoad` (the inventory re-applying the saved
  // order) only the arrange entries act, and nothing is saved or rebuilt.
  void RightmenusClick(int index, bool fromLoad);

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
  void Arrange(int index, bool fromLoad);
  int Track(HMENU menu, HWND owner, POINT screen);

  std::string appDirectory_;
  ShortcutList& items_;
  MenuLinks links_;
  UniqueMenu desktopMenu_;  // Menupropty
  UniqueMenu dropMenu_;     // Dragemainmenus
  int currentArrangeIndex_ = 0;
  std::function<int(HMENU)> chooser_;
};

}  // namespace velmora
