#include "shell/FrmMenus.h"

#include "settings/ProgramValues.h"

#include <vector>

namespace velmora {
namespace {

struct MenuEntry {
  int index;
  const wchar_t* caption;  // null: a separator
};

constexpr MenuEntry kDesktopEntries[] = {
    {kMenuRefresh, L"Refresh\tF5"},
    {3, nullptr},
    {kMenuByName, L"Arrange Icons By Name"},
    {kMenuBySize, L"Arrange Icons By Size"},
    {kMenuByType, L"Arrange Icons By Type"},
    {kMenuByModified, L"Arrange Icons By Modified"},
    {8, nullptr},
    {kMenuAutoArrange, L"Auto Arrange"},
    {kMenuLockIcons, L"Lock Icons"},
    {11, nullptr},
    {kMenuProperties, L"Properties"},
    {kMenuWallpaperSetting, L"Wallpaper Setting"},
    {14, nullptr},
    {kMenuExit, L"Exit"},
};

constexpr MenuEntry kDropEntries[] = {
    {kDropCopy, L"Copy Here"},
    {kDropMove, L"Move Here"},
    {kDropShortcut, L"Create Shortcuts Here"},
    {3, nullptr},
    {kDropCancel, L"Cancel"},
};

// The drop menu's indexes start at 0, which a tracked menu returns for
// "nothing chosen": its commands carry the index plus this.
constexpr int kDropIdBase = 100;

UniqueMenu BuildMenu(const MenuEntry* entries, size_t count, int idBase) {
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return menu;
  for (size_t i = 0; i < count; ++i) {
    if (entries[i].caption)
      ::AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(entries[i].index + idBase),
                    entries[i].caption);
    else
      ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  }
  return menu;
}

void StartDetached(const std::wstring& commandLine, int show) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;  // CreateProcess may write into it
  // Not waited for, and its result not examined.
  if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
    const UniqueKernelHandle thread(process.hThread), handle(process.hProcess);
  }
}

}  // namespace

FrmMenus::FrmMenus(std::string appDirectory, DesktopInventory& items, MenuLinks links)
    : appDirectory_(std::move(appDirectory)), items_(items), links_(std::move(links)) {
  if (!links_.startProcess) links_.startProcess = StartDetached;
}

FrmMenus::~FrmMenus() { Destroy(); }

bool FrmMenus::Load() {
  // Never seen: a hidden window off the left edge of the screen.
  if (!hwnd() && !Create({kClassName, "Velmora menus", WS_POPUP, WS_EX_TOOLWINDOW, -1200, 0, 1000,
                          100, nullptr, CLR_INVALID}))
    return false;
  desktopMenu_ = BuildMenu(kDesktopEntries, std::size(kDesktopEntries), 0);
  dropMenu_ = BuildMenu(kDropEntries, std::size(kDropEntries), kDropIdBase);
  const ProgramValues stored = ReadProgramValues();
  ::CheckMenuItem(DesktopMenu(), kMenuLockIcons,
                  MF_BYCOMMAND | (stored.iconsLocked ? MF_CHECKED : MF_UNCHECKED));
  if (IsArrangeIndex(static_cast<int>(stored.arrange))) CheckArrangeEntry(static_cast<int>(stored.arrange));
  return desktopMenu_ && dropMenu_;
}

int FrmMenus::Track(HMENU menu, HWND owner, POINT screen) {
  if (!menu) return 0;
  if (chooser_) return chooser_(menu);
  // A popup menu closes on a click elsewhere or Esc only while its owner is
  // the foreground window, and the message after it lets it go cleanly.
  ::SetForegroundWindow(owner);
  const int chosen = static_cast<int>(::TrackPopupMenuEx(
      menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, owner, nullptr));
  ::PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

void FrmMenus::ShowDesktopMenu(HWND owner, POINT screen) {
  const int chosen = Track(DesktopMenu(), owner, screen);
  if (chosen > 0) RightmenusClick(chosen);
}

int FrmMenus::ChooseDropCommand(HWND owner, POINT screen) {
  const int chosen = Track(DropMenu(), owner, screen);
  return chosen >= kDropIdBase ? chosen - kDropIdBase : -1;
}

bool FrmMenus::Checked(int index) const {
  return (::GetMenuState(DesktopMenu(), static_cast<UINT>(index), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool FrmMenus::IconsLocked() const { return Checked(kMenuLockIcons); }

void FrmMenus::RightmenusClick(int index) {
  const bool arrange = IsArrangeIndex(index);
  if ((index == kMenuRefresh || arrange) && links_.forgetLayout) links_.forgetLayout();
  if (arrange) {
    Arrange(index);
    return;
  }
  switch (index) {
    case kMenuRefresh:
      if (links_.refresh) links_.refresh();
      break;
    case kMenuAutoArrange:
      // Laid out afresh too, like the arrange entries.
      if (links_.forgetLayout) links_.forgetLayout();
      if (links_.autoArrange) links_.autoArrange();
      break;
    case kMenuLockIcons: {
      const bool locked = !IconsLocked();
      ::CheckMenuItem(DesktopMenu(), kMenuLockIcons,
                      MF_BYCOMMAND | (locked ? MF_CHECKED : MF_UNCHECKED));
      ProgramValues lock;
      lock.iconsLocked = locked;
      SaveProgramValues(lock, {ProgramValueId::kIsLock});
      break;
    }
    case kMenuProperties:
      links_.startProcess(kDisplayPanel, SW_SHOWMINIMIZED);
      break;
    case kMenuWallpaperSetting:
      if (links_.properties) links_.properties();
      break;
    case kMenuExit:
      if (links_.exit) links_.exit();
      break;
    default:
      break;
  }
}

void FrmMenus::CheckArrangeEntry(int index) {
  if (currentArrangeIndex_)
    ::CheckMenuItem(DesktopMenu(), static_cast<UINT>(currentArrangeIndex_), MF_BYCOMMAND | MF_UNCHECKED);
  ::CheckMenuItem(DesktopMenu(), static_cast<UINT>(index), MF_BYCOMMAND | MF_CHECKED);
  currentArrangeIndex_ = index;
}

void FrmMenus::Arrange(int index) {
  CheckArrangeEntry(index);
  ProgramValues chosen;
  chosen.arrange = index;
  SaveProgramValues(chosen, {ProgramValueId::kArrange});
  // The items read again, in the order just stored.
  items_.Rebuild();
  if (links_.arranged) links_.arranged();
}

LRESULT FrmMenus::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (taskbarCreated_ != 0 && message == taskbarCreated_) {
    if (links_.shellRestarted) links_.shellRestarted();
    return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace velmora
