#include "wallpaper/FrmShortcutBG.h"

#include "common/DesktopHost.h"
#include "common/FileSystem.h"
#include "common/SystemNotifications.h"
#include "iconlayer/GdiPlusPictures.h"
#include "iconlayer/PictureFiles.h"
#include "settings/EntryList.h"
#include "shell/Subclassing.h"
#include "wallpaper/BackgroundPlacement.h"
#include "wallpaper/SlideshowTiming.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace velmora {
namespace {

// Whether the window in front belongs to another program, is not one of the
// shell's own and hides the whole monitor it is on (a game, a video, a
// presentation).
bool ForeignFullScreenInFront() {
  const HWND front = ::GetForegroundWindow();
  if (!front || !::IsWindowVisible(front) || ::IsIconic(front)) return false;
  // The desktop itself is in front when nothing else is.
  if (front == ::GetDesktopWindow() || front == ::GetShellWindow()) return false;
  DWORD process = 0;
  ::GetWindowThreadProcessId(front, &process);
  if (process == ::GetCurrentProcessId()) return false;
  char className[64] = {};
  ::GetClassNameA(::GetAncestor(front, GA_ROOT), className, sizeof className);
  if (IsShellWindowClass(className)) return false;
  RECT window{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetWindowRect(front, &window) ||
      !::GetMonitorInfoA(::MonitorFromWindow(front, MONITOR_DEFAULTTONEAREST), &monitor))
    return false;
  const RECT& m = monitor.rcMonitor;
  return CoversMonitor({window.left, window.top, window.right, window.bottom}, {m.left, m.top, m.right, m.bottom});
}

}  // namespace

FrmShortcutBG::FrmShortcutBG(SettingsStore& settings, DesktopInventory& items, BackgroundLinks links)
    : settings_(settings),
      appDirectory_(settings.AppDirectory()),
      items_(items),
      links_(std::move(links)),
      taskbarQuery_(GetTaskbarEdge) {}

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
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  desktopFlash_.Create(hwnd(), 0, 0, client.right, client.bottom);
  if (!Load()) return false;
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  OnResize();  // the first resize, which the load held back
  return hwnd() != nullptr;
}

bool FrmShortcutBG::Load() {
  // GDI+ and OLE were started by the session before this window.
  ShowBusyPointer(true);
  FilesExist(MediaList::kFlash);
  FilesExist(MediaList::kImage);
  if (!hwnd()) return false;  // closed while messages were dispatched

  // Directory updates reported by the shell arrive through the notification
  // filter.
  if (InstallNotificationFilter(hwnd(), [this](WPARAM w, LPARAM l) { NotificationReceipt(w, l); }))
    notifications_.RegisterDesktopNotify(hwnd());
  sessionNotify_ = RegisterSessionNotifications(hwnd());
  displayNotify_ = RegisterDisplayNotifications(hwnd());
  ::SetTimer(hwnd(), kRestCheckTimerId, kRestCheckInterval, nullptr);
  if (links_.showSplash) links_.showSplash();
  if (links_.loadMenus) links_.loadMenus();
  LoadShortMem();
  ShowBusyPointer(false);

  long wait = 2000;
  WaitMilliseconds(wait, [this] { return stopSlide_ || !hwnd(); });
  if (!hwnd()) return false;
  loaded_ = true;
  return true;
}

void FrmShortcutBG::LoadShortMem() {
  items_.Rebuild();
  if (links_.itemsLoaded) links_.itemsLoaded();
}

void FrmShortcutBG::RefreshShortcut(bool redraw) {
  LoadShortMem();
  if (links_.relaid) links_.relaid(redraw);
  if (redraw) ApplyWallpaperMode();
}

void FrmShortcutBG::NotificationReceipt(WPARAM, LPARAM lParam) {
  if (lParam == SHCNE_UPDATEDIR) DesktopChanged();
}

void FrmShortcutBG::DesktopChanged() {
  if (!loaded_ || !hwnd()) return;
  const auto now = ChangeBatch::Clock::now();
  changes_.Changed(now);
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(changes_.Remaining(now));
  ::SetTimer(hwnd(), kRebuildTimerId, static_cast<UINT>(std::max<long long>(1, wait.count())),
             nullptr);
}

void FrmShortcutBG::OnRebuildTimer() {
  const auto now = ChangeBatch::Clock::now();
  if (!changes_.Due(now)) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(changes_.Remaining(now));
    ::SetTimer(hwnd(), kRebuildTimerId, static_cast<UINT>(std::max<long long>(1, wait.count())),
               nullptr);
    return;
  }
  ::KillTimer(hwnd(), kRebuildTimerId);
  LoadShortMem();
  if (links_.relaid) links_.relaid(true);  // recomposed; the wallpaper plays on
}

void FrmShortcutBG::ShowBlankMovie() {
  desktopFlash_.Stop();
  desktopFlash_.SetMovie(appDirectory_ + "\\blank.swf");
  desktopFlash_.Play();
}

void FrmShortcutBG::PauseSlideshow() {
  stopSlide_ = true;
  StopSlideTimer();
}

void FrmShortcutBG::FilesExist(MediaList list) { settings_.PruneList(list, DispatchPendingMessages); }

void FrmShortcutBG::ResizeScr() { PlaceForTaskbar(taskbarQuery_ ? taskbarQuery_() : ""); }

void FrmShortcutBG::PlaceForTaskbar(const std::string& description) {
  if (!hwnd()) return;
  const long w = ::GetSystemMetrics(SM_CXSCREEN) * kTwipsPerPixel;
  const long h = ::GetSystemMetrics(SM_CYSCREEN) * kTwipsPerPixel;
  const auto placement = BackgroundPlacement(ParseTaskbarDescription(description), w, h);
  if (placement)
    ::SetWindowPos(hwnd(), nullptr, placement->left / kTwipsPerPixel,
                   placement->top / kTwipsPerPixel, placement->width / kTwipsPerPixel,
                   placement->height / kTwipsPerPixel, SWP_NOZORDER | SWP_NOACTIVATE);
  // Without a recognised taskbar the window stays put, and the movie and
  // the icon layer still follow it.
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  desktopFlash_.Move(0, 0, client.right, client.bottom);
  if (links_.placed) links_.placed();
}

void FrmShortcutBG::OnResize() {
  if (!hwnd()) return;
  RecreateCanvas();
  if (!loaded_) return;
  ResizeScr();
  if (!firstResizeDone_) {
    if (links_.showIconLayer) links_.showIconLayer();
    firstResizeDone_ = true;
    ApplyWallpaperMode();
  }
}

void FrmShortcutBG::ApplyWallpaperMode() {
  if (!hwnd()) return;
  const Settings& settings = settings_.Read();
  if (links_.previewSetting) links_.previewSetting(settings.main.imageViewer);
  switch (settings.main.wallpaperMode) {
    case kMovieMode:
      stopSlide_ = true;
      StopSlideTimer();
      ClearDrawing();
      RefreshAll();
      FlashWallpaper();
      break;
    case kSlideshowMode:
      slideLocation_ = SlidePlacement(settings.image.location);
      RefreshAll();
      desktopFlash_.Stop();
      desktopFlash_.SetVisible(false);
      ImageWallpaper();
      break;
    case kStandardDesktopMode:  // the ordinary desktop: the program ends
      Unloadme();
      break;
    default:
      break;
  }
}

void FrmShortcutBG::FlashWallpaper() {
  // A value that could not be read was left as it was by the settings.
  const FlashSettings& flash = settings_.Read().flash;
  std::vector<std::string> pieces = SplitEntryPieces(flash.current);
  itemList_ = pieces;
  MediaEntry entry = pieces.empty() ? MediaEntry{} : ParseEntry(pieces.front());
  itemParts_ = {entry.name, entry.location};
  desktopFlash_.Stop();
  desktopFlash_.SetVisible(true);
  desktopFlash_.SetBackgroundColor(static_cast<uint32_t>(flash.backgroundColour));
  desktopFlash_.SetScaleMode(static_cast<int16_t>(flash.scaleMode));
  desktopFlash_.SetQuality(static_cast<int16_t>(flash.quality));
  // Without a "|" there is no location, and the path cannot be built.
  if (!pieces.empty() && pieces.front().find('|') != std::string::npos) {
    moviePath_ = entry.location == "flashs" ? appDirectory_ + "\\Flashs\\" + entry.name
                                            : entry.location + entry.name;
  }
  desktopFlash_.SetMovie(moviePath_);
  desktopFlash_.Play();
  desktopFlash_.Play();
}

void FrmShortcutBG::ImageWallpaper() {
  const ImageSettings& image = settings_.Read().image;
  slideInterval_ = image.interval;
  slideSpeed_ = image.speed;
  picture_.Destroy();
  if (!image.withPicture) {
    backColour_ = static_cast<COLORREF>(image.backColour) & 0x00FFFFFF;
  } else {
    picture_.CreateFromBitmapFile(appDirectory_ + "\\BgTemp.bmp");
  }
  ClearDrawing();
  RefreshAll();
  itemList_ = SplitEntryPieces(image.list);
  stopSlide_ = false;
  ArmSlideTimer(kFirstSlideDelay);
}

void FrmShortcutBG::OnSlideTimer() {
  if (stopSlide_) {
    // A stopped slideshow needs no more ticks; starting it again arms them.
    StopSlideTimer();
    slideIndex_ = 0;
    return;
  }
  StopSlideTimer();
  const int index = SlideToShow(slideIndex_, static_cast<int>(itemList_.size()));
  if (index < 0) return;  // an empty list: nothing to show, the timer stays off
  slideIndex_ = index;
  SlideProcessing(slideIndex_);
  // A fade ended by a stop request leaves the index at 0, so that the next
  // start begins with the first slide.
  if (!stopSlide_) ++slideIndex_;
}

void FrmShortcutBG::SlideProcessing(int index) {
  if (index < 0 || index >= static_cast<int>(itemList_.size())) return;
  ++counters_.slidesStarted;
  const MediaEntry entry = ParseEntry(itemList_[static_cast<size_t>(index)]);
  Import(EntryFilePath(entry, MediaSection(MediaList::kImage), appDirectory_));  // on failure the last slide stays
  ClearDrawing();

  RECT target{};
  if (slideLocation_ == 1) {
    ::GetClientRect(hwnd(), &target);
  } else if (slideLocation_ == 0) {
    target = {slideRect_.left, slideRect_.top, slideRect_.left + slideRect_.width,
              slideRect_.top + slideRect_.height};
  }
  const int32_t tw = target.right - target.left, th = target.bottom - target.top;
  if (tw > 0 && th > 0 && !fadeSurface_.Empty()) {
    for (int opacity : FadeOpacities(slideSpeed_)) {
      DispatchPendingMessages();
      if (stopSlide_ || !hwnd()) {
        slideIndex_ = 0;
        return;
      }
      fadeSurface_.Stretch32(canvas_.hdc(), target.left, target.top, tw, th, 0, 0, 0, 0,
                             static_cast<uint8_t>(opacity), false, true);
      ++counters_.fadeFrames;
      Refresh(target);
    }
    finalSurface_.Stretch32(canvas_.hdc(), target.left, target.top, tw, th, 0, 0, 0, 0, 255,
                            false, true);
    ++counters_.slidesCompleted;
  }
  RefreshAll();
  ArmSlideTimer(slideInterval_);
}

bool FrmShortcutBG::Import(const std::string& filePath) {
  // The slide the surfaces hold already (a list of one picture, or the same
  // file twice in a row) is not decoded again.
  const std::string version = filePath + "|" + FileVersion(filePath);
  if (version == importedSlide_ && !finalSurface_.Empty()) return true;
  PictureFile file(filePath);
  uint32_t width = 0, height = 0;
  if (!file.Size(width, height)) return false;
  const int32_t screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int32_t screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  const FitRect fit = GetBestFitInfo(static_cast<int32_t>(std::min<uint32_t>(width, INT32_MAX)),
                                     static_cast<int32_t>(std::min<uint32_t>(height, INT32_MAX)),
                                     screenWidth, screenHeight, false);
  // Decoded straight to the size shown, into new surfaces first, so that a
  // failure keeps the last slide; the fade surface is half of that.
  CDIB final, fade;
  if (!file.Render(fit.width, fit.height, final) ||
      !fade.Create(std::max(1, final.Width() / 2), std::max(1, final.Height() / 2), 32) ||
      !final.Stretch32(fade.hdc(), 0, 0, fade.Width(), fade.Height(), 0, 0, 0, 0, 255, false, true))
    return false;
  finalSurface_.Swap(final);
  fadeSurface_.Swap(fade);
  slideRect_ = {fit.left, fit.top, fit.width, fit.height};
  importedSlide_ = version;
  return true;
}

void FrmShortcutBG::ArmSlideTimer(long interval) {
  if (!hwnd()) return;
  slideTimerWanted_ = SlideTimerInterval(interval);
  if (slideTimerWanted_ == 0) {
    ::KillTimer(hwnd(), kSlideTimerId);  // an interval of 0 never fires
    return;
  }
  // While resting the timer is only remembered; the end of the rest arms it.
  if (!rest_.Any()) ::SetTimer(hwnd(), kSlideTimerId, slideTimerWanted_, nullptr);
}

void FrmShortcutBG::StopSlideTimer() {
  slideTimerWanted_ = 0;
  if (hwnd()) ::KillTimer(hwnd(), kSlideTimerId);
}

void FrmShortcutBG::ApplyRest() {
  if (!hwnd()) return;
  const bool resting = rest_.Any();
  desktopFlash_.SetPaused(resting);
  if (resting)
    ::KillTimer(hwnd(), kSlideTimerId);
  else if (slideTimerWanted_ > 0)
    ::SetTimer(hwnd(), kSlideTimerId, slideTimerWanted_, nullptr);
}

void FrmShortcutBG::CheckRest() {
  if (!hwnd()) return;
  PauseReasons now = rest_;
  now.fullScreen = ForeignFullScreenInFront();
  // Inside the shell's desktop window: hidden with it.
  const HWND parent = ::GetAncestor(hwnd(), GA_PARENT);
  now.desktopHidden = parent && parent != ::GetDesktopWindow() && !::IsWindowVisible(parent);
  if (now.fullScreen == rest_.fullScreen && now.desktopHidden == rest_.desktopHidden) return;
  rest_ = now;
  ApplyRest();
}

void FrmShortcutBG::RecreateCanvas() {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  if (client.right == canvas_.Width() && client.bottom == canvas_.Height()) return;
  if (client.right <= 0 || client.bottom <= 0) {
    canvas_.Destroy();
    return;
  }
  canvas_.Create(client.right, client.bottom, 32);
  ClearDrawing();
  RedrawSlide();
}

void FrmShortcutBG::RedrawSlide() {
  if (stopSlide_ || finalSurface_.Empty() || canvas_.Empty()) return;
  RECT target{};
  if (slideLocation_ == 1) {
    ::GetClientRect(hwnd(), &target);
  } else {
    const FitRect fit = GetBestFitInfo(finalSurface_.Width(), finalSurface_.Height(),
                                       ::GetSystemMetrics(SM_CXSCREEN),
                                       ::GetSystemMetrics(SM_CYSCREEN), false);
    slideRect_ = {fit.left, fit.top, fit.width, fit.height};
    target = {fit.left, fit.top, fit.left + fit.width, fit.top + fit.height};
  }
  finalSurface_.Stretch32(canvas_.hdc(), target.left, target.top, target.right - target.left,
                          target.bottom - target.top, 0, 0, 0, 0, 255, false, true);
  RefreshAll();
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
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  Refresh(client);
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
  stopSlide_ = true;
  StopSlideTimer();
  if (hwnd()) ::KillTimer(hwnd(), kRebuildTimerId);
  if (hwnd()) ::KillTimer(hwnd(), kRestCheckTimerId);
  sessionNotify_.reset();
  displayNotify_.reset();
  notifications_.UnregisterDesktopNotify();
  if (hwnd()) RemoveNotificationFilter(hwnd());
  fadeSurface_.Destroy();
  finalSurface_.Destroy();
  importedSlide_.clear();
}

void FrmShortcutBG::Close() {
  closing_ = true;  // our own end, not the shell's
  if (!destroying_) Destroy();
}

LRESULT FrmShortcutBG::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      OnResize();
      return 0;
    case WM_DISPLAYCHANGE:
      if (loaded_) ResizeScr();
      return 0;
    case WM_TIMER:
      if (wParam == kSlideTimerId) OnSlideTimer();
      if (wParam == kRebuildTimerId) OnRebuildTimer();
      if (wParam == kRestCheckTimerId) CheckRest();
      return 0;
    case kSessionChangeMessage:
      if (wParam == kSessionLocked || wParam == kSessionUnlocked) {
        rest_.locked = wParam == kSessionLocked;
        ApplyRest();
      }
      return 0;
    case WM_POWERBROADCAST: {
      bool displayOff = false;
      if (ReadDisplayState(wParam, lParam, displayOff)) {
        rest_.displayOff = displayOff;
        ApplyRest();
      }
      return TRUE;
    }
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
    case WM_DESTROY: {
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
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void FrmShortcutBG::OnDestroyed() {
  if (!lostWithShell_) ::PostQuitMessage(0);
}

void FrmShortcutBG::MoveIntoNewShellWindow() {
  if (!hwnd()) return;
  SetDesktopParent(hwnd());
  // The shell's registration went with the old shell.
  if (!notifications_.UnregisterDesktopNotify()) notifications_.Abandon();
  notifications_.RegisterDesktopNotify(hwnd());
  ResizeScr();
}

}  // namespace velmora
