#include "wallpaper/FrmShortcutBG.h"

#include "common/AppPaths.h"
#include "settings/MediaLists.h"
#include "startup/AppState.h"
#include "startup/DesktopHost.h"
#include "wallpaper/BackgroundPlacement.h"

#include <gdiplus.h>

namespace velmora {
namespace {

void SetScreenPointer(bool busy) {
  ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(busy ? 32514 : 32512)));  // wait / arrow
}

}  // namespace

FrmShortcutBG::~FrmShortcutBG() { Unloadme(); }

bool FrmShortcutBG::Show() {
  if (!Create({kClassName, "Velmora", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, 0, 0,
               ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
               kDefaultBackColour})) {
    return false;
  }
  if (!Load()) return false;
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  OnResize();  // the first resize, which the load held back
  return hwnd() != nullptr;
}

bool FrmShortcutBG::Load() {
  Gdiplus::GdiplusStartupInput input;  // version 1, other options off
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
    ::MessageBoxA(nullptr, "Error loading GDI+!", "Velmora", MB_OK | MB_ICONERROR);
    Unloadme();
    return false;
  }
  gdiplusToken_ = token;
  gdiplusStarted_ = true;

  SetScreenPointer(true);
  FilesExist("FLASH");
  FilesExist("IMAGE");
  if (!hwnd()) return false;  // closed while messages were dispatched

  waiting_ = std::make_unique<FrmWaiting>();
  waiting_->Show();

  App().blankPngPath = AppFile("Blank.png");
  SetScreenPointer(false);

  long wait = 2000;
  WaitMilliseconds(wait);
  if (!hwnd()) return false;
  App().loadFinished = true;
  loaded_ = true;
  return true;
}

void FrmShortcutBG::FilesExist(const char* section) {
  PruneMediaList(IniPath(), section, AppDirectory());
}

void FrmShortcutBG::ResizeScr() {
  const long w = ::GetSystemMetrics(SM_CXSCREEN) * kTwipsPerPixel;
  const long h = ::GetSystemMetrics(SM_CYSCREEN) * kTwipsPerPixel;
  const auto placement = BackgroundPlacement(ParseTaskbarDescription(GetTaskbarEdge()), w, h);
  if (!placement) return;
  ::SetWindowPos(hwnd(), nullptr, placement->left / kTwipsPerPixel,
                 placement->top / kTwipsPerPixel, placement->width / kTwipsPerPixel,
                 placement->height / kTwipsPerPixel, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmShortcutBG::OnResize() {
  if (!loaded_ || !hwnd()) return;
  ResizeScr();
  if (!firstResizeDone_) firstResizeDone_ = true;
}

void FrmShortcutBG::Unloadme() {
  if (unloaded_) return;
  unloaded_ = true;
  SetScreenPointer(true);
  if (gdiplusStarted_) {
    Gdiplus::GdiplusShutdown(static_cast<ULONG_PTR>(gdiplusToken_));
    gdiplusStarted_ = false;
  }
  App().stopSlide = true;
  if (hwnd()) ::KillTimer(hwnd(), kSlideTimerId);
  App().instanceMutex.Release();
  if (waiting_) waiting_->Unload();
  if (!destroying_) Destroy();
  SetScreenPointer(false);
}

LRESULT FrmShortcutBG::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      OnResize();
      return 0;
    case WM_CLOSE:
      Unloadme();
      return 0;
    case WM_ENDSESSION:
      if (wParam) Unloadme();
      return 0;
    case WM_DESTROY:
      destroying_ = true;
      Unloadme();  // closed some other way: the sequence still runs once
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void FrmShortcutBG::OnDestroyed() { ::PostQuitMessage(0); }

}  // namespace velmora
