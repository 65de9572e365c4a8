#include "startup/DesktopSession.h"

#include "common/DesktopHost.h"

namespace velmora {

DesktopSession::DesktopSession(std::string appDirectory, OwnedMutex instance)
    : appDirectory_(std::move(appDirectory)), instance_(std::move(instance)) {
  background_ = std::make_unique<FrmShortcutBG>(appDirectory_, items_, LinksForBackground());
}

DesktopSession::~DesktopSession() { Shutdown(); }

BackgroundLinks DesktopSession::LinksForBackground() {
  BackgroundLinks links;
  links.showSplash = [this] {
    splash_ = std::make_unique<FrmWaiting>([this] { return background_->Loaded(); });
    splash_->Show();
  };
  links.itemsLoaded = [this] {
    if (iconLayer_) iconLayer_->GainIconHdc();
  };
  links.showIconLayer = [this] { ShowIconLayer(); };
  links.placed = [this] {
    if (iconLayer_) iconLayer_->FollowBackground();
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
  return links;
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
  iconLayer_ = std::make_unique<FrmShortcut>(background_->hwnd(), items_, appDirectory_);
  iconLayer_->GainIconHdc();
  iconLayer_->Show();
}

void DesktopSession::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  ShowBusyPointer(true);
  background_->StopForShutdown();
  // Everything drawn with GDI+ goes before GDI+ itself.
  if (iconLayer_) iconLayer_->Unload();
  gdiplus_.reset();
  ole_.reset();
  instance_.reset();
  items_.list.Clear();
  items_.arrays = ItemArrays{};
  // The windows close in their order; the objects stay until the session
  // goes, since this may run inside one of their own handlers.
  if (splash_) splash_->Unload();
  background_->Close();
  ShowBusyPointer(false);
}

}  // namespace velmora
