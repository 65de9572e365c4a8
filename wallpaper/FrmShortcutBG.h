// The background window: a plain rectangle over the screen outside the
// taskbar that carries the wallpaper and owns the program's other windows.
// Closing it, in whatever way, runs the one shut-down sequence.
#pragma once

#include "common/Window.h"
#include "startup/FrmWaiting.h"

#include <cstdint>
#include <memory>

namespace velmora {

class FrmShortcutBG : public Window {
 public:
  ~FrmShortcutBG() override;

  static constexpr const char* kClassName = "VelmoraFrmShortcutBG";
  static constexpr COLORREF kDefaultBackColour = 16744576;  // 0x00FF8080
  static constexpr UINT kSlideTimerId = 1;                  // Timer1

  // Creates the window, runs its load and shows it. False when the load ended
  // the program (GDI+ unavailable, or the window was closed meanwhile).
  bool Show();

  // Fits the window to the screen outside the taskbar.
  void ResizeScr();

  // The shut-down sequence; runs once, later calls do nothing.
  void Unloadme();

  // Prunes the entry list `Path` of "FLASH" or "IMAGE".
  void FilesExist(const char* section);

 private:
  bool Load();
  void OnResize();
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyed() override;

  uintptr_t gdiplusToken_ = 0;
  bool gdiplusStarted_ = false;
  bool loaded_ = false;
  bool firstResizeDone_ = false;
  bool unloaded_ = false;
  bool destroying_ = false;  // inside WM_DESTROY: the window is already going
  std::unique_ptr<FrmWaiting> waiting_;
};

}  // namespace velmora
