// The one place that owns the program's windows and what they share, and
// connects them: the background window, the icon layer and the splash
// window, the desktop items, the GDI+ and OLE sessions and the instance
// mutex. Windows never include each other; each gets its links from here.
// The menu window, the item menu, the notification filter, the drop
// procedure and the settings dialog are connected here too.
#pragma once

#include "common/GdiPlus.h"
#include "common/Handles.h"
#include "iconlayer/FrmShortcut.h"
#include "shell/DesktopWatch.h"
#include "shell/FrmMenus.h"
#include "shell/DesktopInventory.h"
#include "settings/SettingsStore.h"
#include "settingsdialog/FrmSetting.h"
#include "startup/FrmWaiting.h"
#include "wallpaper/FrmShortcutBG.h"

#include <memory>
#include <string>

namespace velmora {

class DesktopSession {
 public:
  // `appDirectory`: the program's folder; `instance`: the single-instance
  // mutex, held until the shut-down.
  explicit DesktopSession(std::string appDirectory, OwnedMutex instance = {});
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;
  ~DesktopSession();

  // Starts GDI+ and OLE and shows the background window (whose load and
  // first resize bring up the rest). False when the program is to end: GDI+
  // could not start (after its message), or the window closed meanwhile.
  bool Start();

  // The shut-down sequence, in its fixed order; runs once.
  void Shutdown();
  bool ShutDown() const { return shutDown_; }

  FrmShortcutBG& Background() { return *background_; }
  FrmMenus& Menus() { return *menus_; }
  // The icon layer, once the first resize has shown it.
  FrmShortcut* IconLayer() { return iconLayer_.get(); }
  // The desktop items' one owner, and the items.
  DesktopInventory& Inventory() { return inventory_; }
  const DesktopItems& Items() const { return inventory_.Items(); }
  // The program's settings, which the windows share.
  SettingsStore& SettingsFile() { return store_; }
  bool SplashOpen() const { return splash_ && splash_->IsOpen(); }
  // The settings dialog while it is open, else null.
  FrmSetting* Settings() { return settings_ && settings_->IsOpen() ? settings_.get() : nullptr; }
  void CloseSettings();
  // A message of the loop meant for the open dialog's keyboard handling.
  bool TranslateDialogMessage(MSG& msg);
  // For tests: the answers the dialog's file and colour dialogs give.
  void SetSettingsChoices(SettingsChoices choices) { settingsChoices_ = std::move(choices); }

  // For tests: a command picked from the item menu instead of by the user,
  // and where the problems of a drop are told.
  void SetItemMenuChooser(std::function<UINT(HMENU)> chooser) { itemMenuChooser_ = std::move(chooser); }
  void SetProblemReporter(std::function<void(const std::string&)> report) {
    reportProblems_ = std::move(report);
  }

 private:
  BackgroundLinks LinksForBackground();
  MenuLinks LinksForMenus();
  LayerLinks LinksForLayer();
  void ShowIconLayer();
  // The settings dialog (Properties of the desktop menu).
  void Properties();
  // The items read again without redraw, then the layer composed.
  void Rebuild();
  // The shell is back after a restart: the windows move into its new desktop
  // window, or are made again when they went away with the old one.
  void ShellRestarted();

  std::string appDirectory_;
  SettingsStore store_;  // before the windows, which take it
  OwnedMutex instance_;
  GdiplusSession gdiplus_;
  OleSession ole_;
  DesktopInventory inventory_;
  std::unique_ptr<FrmShortcutBG> background_;
  std::unique_ptr<FrmMenus> menus_;
  std::unique_ptr<DesktopWatch> watch_;
  std::unique_ptr<FrmShortcut> iconLayer_;
  std::unique_ptr<FrmWaiting> splash_;
  std::unique_ptr<FrmSetting> settings_;
  SettingsChoices settingsChoices_;
  bool shutDown_ = false;
  bool remakingWindows_ = false;  // after a shell restart: no splash window
  std::function<UINT(HMENU)> itemMenuChooser_;
  std::function<void(const std::string&)> reportProblems_;
};

}  // namespace velmora
