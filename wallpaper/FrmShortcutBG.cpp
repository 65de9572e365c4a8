#include "wallpaper/FrmShortcutBG.h"

#include "common/DesktopHost.h"
#include "common/Dpi.h"
#include "common/Units.h"
#include "wallpaper/BackgroundPlacement.h"
#include "wallpaper/SlideshowTiming.h"

namespace velmora {
namespace {

// How long the load waits, with the splash window shown, before the desktop
// counts as loaded.
constexpr long kLoadWait = 2000;

}  // namespace

FrmShortcutBG::FrmShortcutBG(SettingsStore& settings, DesktopInventory& items, BackgroundLinks links)
    : settings_(settings),
      appDirectory_(settings.AppDirectory()),
      links_(std::move(links)),
      taskbarQuery_(GetTaskbarEdge),
      movie_(appDirectory_),
      slideshow_(*this, appDirectory_),
      rebuild_(items, {[this] { if (links_.itemsLoaded) links_.itemsLoaded(); },
                       [this](bool redraw) { if (links_.relaid) links_.relaid(redraw); }}),
      rest_([this] { ApplyRest(); }) {}

FrmShortcutBG::~FrmShortcutBG() {
  StopForShutdown();
  Destroy();
}

bool FrmShortcutBG::Show() {
  if (!Create({kClassName, "Velmora", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, 0, 0,
               ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
               CLR_INVALID})) {
    return false;
  }
  // The movie control exists from the start, hidden until the movie mode.
  const RECT client = ClientArea();
  movie_.Create(hwnd(), client.right, client.bottom);
  if (!Load()) return false;
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  OnResize();  // the first resize, which the load held back
  return hwnd() != nullptr;
}

bool FrmShortcutBG::Load() {
  // GDI+ and OLE were started by the session before this window.
  {
    const BusyPointer busy;
    FilesExist(MediaList::kFlash);
    FilesExist(MediaList::kImage);
    if (!hwnd()) return false;  // closed while messages were dispatched
    // Directory updates reported by the shell arrive through the
    // notification filter.
    rebuild_.Watch(hwnd(), [this](WPARAM w, LPARAM l) { NotificationReceipt(w, l); });
    rest_.Start(hwnd());
    // The desktop raised by another program, or monitors added, removed or
    // moved while the program runs, re-place it.
    ::SetTimer(hwnd(), kDesktopLookTimerId, kDesktopLookInterval, nullptr);
    if (links_.showSplash) links_.showSplash();
    if (links_.loadMenus) links_.loadMenus();
    LoadShortMem();
  }
  long wait = kLoadWait;
  WaitMilliseconds(wait, [this] { return slideshow_.Stopped() || !hwnd(); });
  if (!hwnd()) return false;
  phase_ = Phase::kLoaded;
  return true;
}

void FrmShortcutBG::RefreshShortcut(bool redraw) {
  rebuild_.Refresh(redraw);
  if (redraw) ApplyWallpaperMode();
}

void FrmShortcutBG::NotificationReceipt(WPARAM, LPARAM lParam) {
  if (lParam == SHCNE_UPDATEDIR) DesktopChanged();
}

void FrmShortcutBG::DesktopChanged() {
  if (phase_ == Phase::kLoading || !hwnd()) return;
  rebuild_.Changed(hwnd());
}

void FrmShortcutBG::FilesExist(MediaList list) { settings_.PruneList(list, DispatchPendingMessages); }

void FrmShortcutBG::ResizeScr() { PlaceForTaskbar(taskbarQuery_ ? taskbarQuery_() : ""); }

void FrmShortcutBG::PlaceForTaskbar(const std::string& description) {
  if (!hwnd()) return;
  std::optional<ScreenRect> previousWork;
  if (placed_) previousWork = layout_.Primary().work.Moved(layout_.window.left, layout_.window.top);
  monitorsSeen_ = QueryMonitors();
  const ScreenRect primaryScreen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  // Without a recognised taskbar the primary keeps the work area it had.
  layout_ = BackgroundLayout(monitorsSeen_, primaryScreen, ParseTaskbarDescription(description),
                             previousWork);
  placed_ = true;
  // The tiles first: a new size redraws the drawing for them at once.
  const std::vector<WallpaperTile> before = tiles_;
  tiles_ = WallpaperTiles(layout_, settings_.Read().main.monitorSpread);
  PlaceOnScreen(hwnd(), layout_.window);
  UpdateTiles();
  if (tiles_ != before) {
    ClearDrawing();
    slideshow_.Redraw();
    RefreshAll();
  }
  if (links_.placed) links_.placed();
}

void FrmShortcutBG::UpdateTiles() {
  if (placed_) tiles_ = WallpaperTiles(layout_, settings_.Read().main.monitorSpread);
  std::vector<RECT> rects;
  for (const WallpaperTile& t : Tiles()) rects.push_back({t.work.left, t.work.top, t.work.right, t.work.bottom});
  movie_.SetTiles(rects);
}

std::vector<WallpaperTile> FrmShortcutBG::Tiles() const {
  if (!tiles_.empty()) return tiles_;
  // Not placed yet: the window's client area on the primary screen.
  const RECT client = ClientArea();
  return {{{0, 0, client.right, client.bottom},
           {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}}};
}

void FrmShortcutBG::CheckMonitors() {
  if (phase_ == Phase::kLoading || !hwnd()) return;
  if (QueryMonitors() != monitorsSeen_) ResizeScr();
}

void FrmShortcutBG::OnResize() {
  if (!hwnd()) return;
  RecreateCanvas();
  if (phase_ == Phase::kLoading) return;
  ResizeScr();
  if (phase_ == Phase::kLoaded) {
    if (links_.showIconLayer) links_.showIconLayer();
    phase_ = Phase::kShown;
    ApplyWallpaperMode();
  }
}

void FrmShortcutBG::ApplyWallpaperMode() {
  if (!hwnd()) return;
  const Settings& settings = settings_.Read();
  if (links_.previewSetting) links_.previewSetting(settings.main.imageViewer);
  rest_.SetPowerRule(settings.main.batteryRest);
  // The spread may have changed with the settings.
  const std::vector<WallpaperTile> before = tiles_;
  UpdateTiles();
  if (tiles_ != before) ClearDrawing();
  switch (settings.main.wallpaperMode) {
    case kMovieMode:
      slideshow_.Pause();
      ClearDrawing();
      RefreshAll();
      FlashWallpaper();
      break;
    case kSlideshowMode:
      RefreshAll();
      movie_.StopAndHide();
      ImageWallpaper();
      break;
    case kStandardDesktopMode:  // the ordinary desktop: the program ends
      Unloadme();
      break;
    default:
      break;
  }
}

void FrmShortcutBG::FlashWallpaper() { movie_.Start(settings_.Read().flash); }

void FrmShortcutBG::ImageWallpaper() {
  const Settings& settings = settings_.Read();
  slideshow_.Start(settings.image, SlidePlacement(settings.image.location));
}

RECT FrmShortcutBG::ClientArea() const {
  RECT client{};
  if (hwnd()) ::GetClientRect(hwnd(), &client);
  return client;
}

void FrmShortcutBG::SetBackPicture(const std::string& bitmapFile) {
  picture_.Destroy();
  if (!bitmapFile.empty()) picture_.CreateFromBitmapFile(bitmapFile);
}

void FrmShortcutBG::ArmTimer(long interval) {
  if (!hwnd()) return;
  slideTimerWanted_ = SlideTimerInterval(interval);
  if (slideTimerWanted_ == 0) {
    ::KillTimer(hwnd(), kSlideTimerId);  // an interval of 0 never fires
    return;
  }
  // While resting the timer is only remembered; the end of the rest arms it.
  if (!rest_.Resting()) ::SetTimer(hwnd(), kSlideTimerId, slideTimerWanted_, nullptr);
}

void FrmShortcutBG::StopTimer() {
  slideTimerWanted_ = 0;
  if (hwnd()) ::KillTimer(hwnd(), kSlideTimerId);
}

void FrmShortcutBG::ApplyRest() {
  if (!hwnd()) return;
  const bool resting = rest_.Resting();
  movie_.SetPaused(rest_.MovieResting(), rest_.HiddenMonitors());
  if (resting)
    ::KillTimer(hwnd(), kSlideTimerId);
  else if (slideTimerWanted_ > 0)
    ::SetTimer(hwnd(), kSlideTimerId, slideTimerWanted_, nullptr);
}

void FrmShortcutBG::RecreateCanvas() {
  const RECT client = ClientArea();
  if (client.right == canvas_.Width() && client.bottom == canvas_.Height()) return;
  if (client.right <= 0 || client.bottom <= 0) {
    canvas_.Destroy();
    return;
  }
  canvas_.Create(client.right, client.bottom, 32);
  ClearDrawing();
  slideshow_.Redraw();
}

void FrmShortcutBG::ClearDrawing() {
  if (canvas_.Empty()) return;
  canvas_.Cls(backColour_);
  if (!picture_.Empty())
    ::BitBlt(canvas_.hdc(), 0, 0, picture_.Width(), picture_.Height(), picture_.hdc(), 0, 0,
             SRCCOPY);
  // GDI leaves the alpha bytes at 0; the drawing is opaque.
  uint8_t* bits = canvas_.lpBits();
  for (int32_t i = 0; i < canvas_.Size(); i += 4) bits[i + 3] = 255;
}

void FrmShortcutBG::Refresh(const RECT& area) {
  if (!hwnd() || canvas_.Empty()) return;
  const WindowDc dc = GetWindowDc(hwnd());
  if (dc)
    ::BitBlt(dc.get().dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
             canvas_.hdc(), area.left, area.top, SRCCOPY);
}

void FrmShortcutBG::RefreshAll() {
  if (!hwnd()) return;
  Refresh(ClientArea());
  ::ValidateRect(hwnd(), nullptr);
}

void FrmShortcutBG::Paint() {
  const UniquePaint paint = BeginPainting(hwnd());
  const PAINTSTRUCT& ps = paint.get().paint;
  if (!canvas_.Empty()) {
    const RECT& r = ps.rcPaint;
    ::BitBlt(ps.hdc, r.left, r.top, r.right - r.left, r.bottom - r.top, canvas_.hdc(), r.left,
             r.top, SRCCOPY);
  } else {
    const UniqueGdiObject brush(::CreateSolidBrush(backColour_));
    ::FillRect(ps.hdc, &ps.rcPaint, static_cast<HBRUSH>(brush.get()));
  }
}

void FrmShortcutBG::Unloadme() {
  if (unloading_) return;
  unloading_ = true;
  if (links_.unload) {
    links_.unload();  // the session runs the whole sequence, this window's part included
  } else {
    StopForShutdown();
    Close();
  }
}

void FrmShortcutBG::StopForShutdown() {
  if (hwnd()) ::KillTimer(hwnd(), kDesktopLookTimerId);
  slideshow_.Release();
  rebuild_.Unwatch(hwnd());
  rest_.Stop(hwnd());
}

void FrmShortcutBG::LookAtTheDesktop() {
  if (phase_ == Phase::kShown && DesktopParentChanged(hwnd()) && links_.desktopMoved) {
    // The session moves both windows to the new parent and places them over
    // the monitors as they are (or makes them anew, this one gone): nothing
    // more is done here.
    links_.desktopMoved();
    return;
  }
  CheckMonitors();
}

void FrmShortcutBG::Close() {
  closing_ = true;  // our own end, not the shell's
  if (!destroying_) Destroy();
}

LRESULT FrmShortcutBG::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (rest_.HandleMessage(hwnd(), message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_SIZE:
      OnResize();
      return 0;
    case WM_DISPLAYCHANGE:
    case kDpiChangedMessage:  // another scale: the same screen in other twips
      if (phase_ != Phase::kLoading) ResizeScr();
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA) CheckMonitors();  // a taskbar moved or resized
      break;
    case WM_TIMER:
      if (wParam == kSlideTimerId) slideshow_.OnTimer();
      if (wParam == ItemRebuild::kTimerId) rebuild_.OnTimer(hwnd());
      if (wParam == kDesktopLookTimerId) LookAtTheDesktop();
      return 0;
    case kDesktopChangedMessage:
      DesktopChanged();
      return 0;
    case WM_WINDOWPOSCHANGING:
      KeepAtTheBottom(hwnd(), lParam, links_.layerWindow ? links_.layerWindow() : nullptr);
      break;
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE:
      Unloadme();
      return 0;
    case WM_ENDSESSION:
      if (wParam) Unloadme();
      return 0;
    case WM_DESTROY:
      return OnDestroy();
  }
  return Window::HandleMessage(message, wParam, lParam);
}

LRESULT FrmShortcutBG::OnDestroy() {
  destroying_ = true;  // the window is already going
  // Going with the shell's desktop window (Explorer ended): the program
  // stays and is given new windows when the shell is back.
  const HWND parent = ::GetAncestor(hwnd(), GA_PARENT);
  if (!unloading_ && !closing_ && parent && parent != ::GetDesktopWindow()) {
    lostWithShell_ = true;
    StopForShutdown();
    return 0;
  }
  Unloadme();  // closed some other way: the sequence still runs once
  return 0;
}

void FrmShortcutBG::OnDestroyed() {
  if (!lostWithShell_) ::PostQuitMessage(0);
}

void FrmShortcutBG::MoveIntoNewShellWindow() {
  if (!hwnd()) return;
  SetDesktopParent(hwnd());
  rebuild_.WatchNewShell(hwnd());
  ResizeScr();
}

}  // namespace velmora
