// Figures for the slideshow on Windows: one fade frame, the final draw and a
// plain BitBlt of the same size, through the program's own drawing calls;
// then the CPU time the background window takes between two slides.
// Run on a 1920 x 1080 screen:
//   VELMORA_SCREEN=1920x1080x24 scripts/wine-run.sh build/win64/bin/slideshow_benchmark.exe
#include "iconlayer/CDIB.h"
#include "settings/SettingsStore.h"
#include "common/DesktopHost.h"
#include "common/GdiPlus.h"
#include "common/ProcessTime.h"
#include "startup/DesktopSession.h"

#include <windows.h>
#include <gdiplus.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

using namespace velmora;

namespace {

double MillisecondsPer(int runs, const std::function<void()>& work) {
  work();  // warm up
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) work();
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / runs;
}

void DrawingFigures(int w, int h) {
  CDIB screen, fade, final;
  screen.Create(w, h, 32);
  fade.Create(w / 2, h / 2, 32);
  final.Create(w, h, 32);
  // An opaque photograph, as slides decoded from JPEG files are.
  for (CDIB* s : {&fade, &final})
    for (int32_t i = 0; i < s->Size(); i += 4) {
      s->lpBits()[i] = static_cast<uint8_t>(i);
      s->lpBits()[i + 1] = static_cast<uint8_t>(i >> 8);
      s->lpBits()[i + 2] = 0x80;
      s->lpBits()[i + 3] = 0xFF;
    }
  std::memset(screen.lpBits(), 0xFF, screen.Size());
  const int runs = 20;
  const double fadeMs = MillisecondsPer(
      runs, [&] { fade.Stretch32(screen.hdc(), 0, 0, w, h, 0, 0, 0, 0, 90, false, true); });
  const double finalMs = MillisecondsPer(
      runs, [&] { final.Stretch32(screen.hdc(), 0, 0, w, h, 0, 0, 0, 0, 255, false, true); });
  const double bitBltMs = MillisecondsPer(
      runs, [&] { ::BitBlt(screen.hdc(), 0, 0, w, h, final.hdc(), 0, 0, SRCCOPY); ::GdiFlush(); });
  const WindowDc desktop = GetWindowDc(nullptr);
  const double toScreenMs = MillisecondsPer(runs, [&] {
    ::BitBlt(desktop.get().dc, 0, 0, w, h, screen.hdc(), 0, 0, SRCCOPY);
    ::GdiFlush();
  });
  std::printf("surface %dx%d: fade frame %.2f ms, final draw %.2f ms, "
              "BitBlt surface to surface %.2f ms, BitBlt to the screen %.2f ms\n",
              w, h, fadeMs, finalMs, bitBltMs, toScreenMs);
}

void IdleFigure() {
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "velmora-bench";
  ::CreateDirectoryA(dir.c_str(), nullptr);
  ::CreateDirectoryA((dir + "\\Images").c_str(), nullptr);
  CDIB picture;
  picture.Create(1600, 1000, 24);
  picture.Cls(RGB(40, 120, 200));
  picture.Save(dir + "\\Images\\a.bmp");
  picture.Cls(RGB(200, 120, 40));
  picture.Save(dir + "\\Images\\b.bmp");
  {
    SettingsStore store(dir);
    Settings slides = store.Read();
    slides.main.wallpaperMode = kSlideshowMode;
    slides.image.list = "a.bmp|images*b.bmp|images*";
    slides.image.interval = 4000;
    slides.image.speed = 30;
    store.Write(slides, {SettingId::kWallInx, SettingId::kImagePath, SettingId::kIntervalvalue,
                         SettingId::kSpeedvalue});
  }

  auto session = std::make_unique<DesktopSession>(dir);
  if (!session->Start()) return;
  const FrmShortcutBG& bg = session->Background();
  long settle = 1500;  // the first slide fades in
  WaitMilliseconds(settle);
  const double fadeCpuStart = ProcessCpuSeconds();
  const auto wallStart = std::chrono::steady_clock::now();
  long idle = 2000;
  WaitMilliseconds(idle);
  const double cpu = ProcessCpuSeconds() - fadeCpuStart;
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallStart;
  std::printf("between slides: %.3f s CPU in %.2f s (%.1f %%), %d slide(s) shown, %d fade frames\n",
              cpu, wall.count(), 100 * cpu / wall.count(), bg.Stats().slidesCompleted,
              bg.Stats().fadeFrames);
  session.reset();
  ::DeleteFileA((dir + "\\Images\\a.bmp").c_str());
  ::DeleteFileA((dir + "\\Images\\b.bmp").c_str());
  ::DeleteFileA(SettingsFilePath(dir).c_str());
  ::RemoveDirectoryA((dir + "\\Images").c_str());
  ::RemoveDirectoryA(dir.c_str());
}

}  // namespace

int main() {
  {
    const GdiplusSession gdiplus = StartGdiplus();
    DrawingFigures(1920, 1080);
  }
  IdleFigure();
  return 0;
}
