#include "startup/DesktopSession.h"

#include "common/DesktopHost.h"
#include "common/WinText.h"
#include "shell/DropPlan.h"
#include "shell/ItemContextMenu.h"

namespace velmora {

DesktopSession::DesktopSession(std::string appDirectory, OwnedMutex instance)
    : appDirectory_(std::move(appDirectory)), store_(appDirectory_), instance_(std::move(instance)) {
  reportProblems_ = [this](const std::string& problems) {
    // A few lines and how many more: a box of hundreds would not fit the screen.
    ::MessageBoxW(iconLayer_ ? iconLayer_->hwnd() : nullptr, Wide(DropProblemsMessage(problems)).c_str(),
                  L"Velmora", MB_OK | MB_ICONEXCLAMATION);
  };
  background_ = std::make_unique<FrmShortcutBG>(store_, inventory_, LinksForBackground());
  menus_ = std::make_unique<FrmMenus>(appDirectory_, inventory_, LinksForMenus());
}

DesktopSession::~DesktopSession() { Shutdown(); }

BackgroundLinks DesktopSession::LinksForBackground() {
  BackgroundLinks links;
  links.showSplash = [this] {
    if (remakingWindows_) return;
    splash_ = std::make_unique<FrmWaiting>([this] { return background_->Loaded(); }, appDirectory_);
    splash_->Show();
  };
  links.loadMenus = [this] { menus_->Load(); };
  links.itemsLoaded = [this] {
    if (iconLayer_) iconLayer_->GainIconHdc();
  };
  links.showIconLayer = [this] { ShowIconLayer(); };
  links.placed = [this] {
    // A new size, scale or other monitors: the layer composed anew for them.
    if (!iconLayer_) return;
    iconLayer_->SetDesktopLayout(background_->Layout());
    const bool rescaled = iconLayer_->FollowDpi();
    if (iconLayer_->FollowBackground() || rescaled) iconLayer_->LoadIcons(false);
  };
  links.relaid = [this](bool redraw) {
    if (!iconLayer_) return;
    iconLayer_->DesktopiconsPos();
    if (redraw) iconLayer_->LoadIcons(false);
  };
  links.previewSetting = [this](bool shown) {
    if (iconLayer_) iconLayer_->SetPreviewShown(shown);
  };
  links.unload = [this] { Shutdown(); };
  links.layerWindow = [this] { return iconLayer_ ? iconLayer_->hwnd() : nullptr; };
  // Raised by another program after our start: both windows move where the
  // icon view went, as into a new shell's window.
  links.desktopMoved = [this] { ShellRestarted(); };
  return links;
}

MenuLinks DesktopSession::LinksForMenus() {
  MenuLinks links;
  links.refresh = [this] {
    CloseSettings();
    background_->ResizeScr();
    background_->RefreshShortcut(true);
  };
  links.forgetLayout = [this] {
    if (iconLayer_) iconLayer_->ForgetLayout();
  };
  links.arranged = [this] {
    // The menu read the items again in their new order: the layer follows.
    if (!iconLayer_) return;
    iconLayer_->GainIconHdc();
    iconLayer_->DesktopiconsPos();
    iconLayer_->LoadIcons(false);
  };
  links.autoArrange = [this] { background_->RefreshShortcut(true); };
  links.properties = [this] { Properties(); };
  links.exit = [this] { background_->Unloadme(); };
  links.shellRestarted = [this] { ShellRestarted(); };
  return links;
}

LayerLinks DesktopSession::LinksForLayer() {
  LayerLinks links;
  // The layer owns the popup menu: made the foreground window for it, the
  // layer stays where it is, while the background window would be raised
  // over it.
  links.desktopMenu = [this](POINT screen) { menus_->ShowDesktopMenu(iconLayer_->hwnd(), screen); };
  links.refresh = [this] { background_->RefreshShortcut(true); };
  links.iconsLocked = [this] { return menus_->IconsLocked(); };
  links.itemMenu = [this](int item, POINT screen, int) {
    // The layer owns the item's menu as it owns the desktop menu.
    ItemMenuLinks menuLinks;
    menuLinks.properties = [this] { Properties(); };
    menuLinks.commandDone = [this] { Rebuild(); };
    menuLinks.chooser = itemMenuChooser_;
    ShellContextMenu(iconLayer_->hwnd(), Items().RowText(static_cast<size_t>(item)), screen,
                     menuLinks);
  };
  links.dropMenu = [this](POINT screen) {
    return menus_->ChooseDropCommand(iconLayer_->hwnd(), screen);
  };
  links.rebuild = [this] { Rebuild(); };
  links.pointerMoved = [this](POINT screen) {
    if (background_) background_->Movies().PointerMoved(screen);
  };
  links.pointerButton = [this](POINT screen, bool down) {
    if (background_) background_->Movies().PointerButton(screen, down);
  };
  links.report = [this](const std::string& problems) { reportProblems_(problems); };
  return links;
}

void DesktopSession::Rebuild() {
  background_->RefreshShortcut(false);
  if (iconLayer_) iconLayer_->LoadIcons(false);
}

void DesktopSession::ShellRestarted() {
  if (shutDown_) return;
  if (background_ && ::IsWindow(background_->hwnd()) && !background_->LostWithShell()) {
    background_->MoveIntoNewShellWindow();
    if (iconLayer_ && ::IsWindow(iconLayer_->hwnd())) {
      SetDesktopParent(iconLayer_->hwnd());
      StackOnDesktop(background_->hwnd(), iconLayer_->hwnd());
      iconLayer_->LoadIcons(false);
    }
    return;
  }
  // The windows went with the old desktop window: new ones, loaded as at the
  // start but without the splash window; the wallpaper starts again.
  CloseSettings();
  watch_.reset();
  iconLayer_.reset();
  background_ = std::make_unique<FrmShortcutBG>(store_, inventory_, LinksForBackground());
  remakingWindows_ = true;
  background_->Show();
  remakingWindows_ = false;
}

void DesktopSession::Properties() {
  const BusyPointer busy;
  if (store_.Read().main.wallpaperMode == kMovieMode) background_->ShowBlankMovie();
  // One dialog at a time: a second request brings the open one forward.
  if (settings_ && settings_->IsOpen()) {
    ::SetForegroundWindow(settings_->hwnd());
    return;
  }
  settings_.reset();
  SettingsLinks links;
  links.backgroundSize = [this] {
    RECT r{};
    ::GetClientRect(background_->hwnd(), &r);
    return SIZE{r.right, r.bottom};
  };
  links.pauseSlideshow = [this] { background_->PauseSlideshow(); };
  links.advancedApplied = [this] { Rebuild(); };
  links.closed = [this] {
    background_->ApplyWallpaperMode();
    // Activating the owner on close may raise the background window over
    // the icon layer: the layer stays on top of it.
    if (iconLayer_ && iconLayer_->hwnd())
      ::SetWindowPos(background_->hwnd(), iconLayer_->hwnd(), 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  links.open = [this](const std::string& target) {
    ::ShellExecuteW(nullptr, L"open", Wide(target).c_str(), nullptr, Wide(appDirectory_).c_str(),
                    SW_SHOWNORMAL);
  };
  settings_ = std::make_unique<FrmSetting>(store_, links, settingsChoices_);
  // Owned by the icon layer, as the menus are: when it closes the layer is
  // activated, which keeps the background window under it (activating the
  // background window would raise it over the layer).
  settings_->Open(iconLayer_ ? iconLayer_->hwnd() : background_->hwnd());
}

void DesktopSession::CloseSettings() {
  if (settings_ && settings_->IsOpen()) settings_->Close();
}

bool DesktopSession::TranslateDialogMessage(MSG& msg) {
  // Tab and the arrow keys move between the dialog's controls.
  return settings_ && settings_->IsOpen() && ::IsDialogMessageW(settings_->hwnd(), &msg);
}

bool DesktopSession::Start() {
  gdiplus_ = StartGdiplus();
  if (!gdiplus_) {
    ::MessageBoxW(nullptr, L"Error loading GDI+!", L"Velmora", MB_OK | MB_ICONERROR);
    Shutdown();
    return false;
  }
  // The shell's shortcut and drag-and-drop objects need OLE on this thread.
  ole_ = StartOle();
  return background_->Show() && !shutDown_;
}

void DesktopSession::ShowIconLayer() {
  iconLayer_ = std::make_unique<FrmShortcut>(background_->hwnd(), inventory_, store_, LinksForLayer());
  iconLayer_->GainIconHdc();
  iconLayer_->SetDesktopLayout(background_->Layout());
  iconLayer_->Show();
  // Files that other programs make, move or delete on the desktop.
  watch_ = std::make_unique<DesktopWatch>(background_->hwnd(), FrmShortcutBG::kDesktopChangedMessage,
                                          std::vector<std::string>{GetSpecialDir(19), GetSpecialDir(3)});
}

void DesktopSession::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  const BusyPointer busy;
  CloseSettings();
  watch_.reset();
  background_->StopForShutdown();
  // Everything drawn with GDI+ goes before GDI+ itself.
  if (iconLayer_) iconLayer_->Unload();
  gdiplus_.reset();
  ole_.reset();
  instance_.reset();
  inventory_.Clear();
  // The windows close in their order; the objects stay until the session
  // goes, since this may run inside one of their own handlers.
  if (splash_) splash_->Unload();
  menus_->Unload();
  background_->Close();
}

}  // namespace velmora
