// Figures for the movie control as it runs on Windows: a movie played full
// screen by the program's own player control at its own pace, for a while,
// and per frame drawn: the processor time of the whole process (every band
// thread counted), and the wall time of drawing the frame, of handing it on
// (what changed since the screen's last picture) and of painting it to the
// screen; with how many frames a second reached the screen. The X server's
// and the compositor's work under Wine are other processes and not counted.
//   VELMORA_SCREEN=1920x1080x24 scripts/wine-run.sh build/win64/bin/movie_present_benchmark.exe MOVIE.swf [SECONDS] [low|high]
#include "common/Dpi.h"
#include "common/ProcessTime.h"
#include "wallpaper/MoviePlayerWindow.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace velmora;

namespace {

double NowSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Runs the window's messages for `seconds`.
void Pump(double seconds) {
  const double end = NowSeconds() + seconds;
  MSG msg;
  while (NowSeconds() < end) {
    if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT) == WAIT_TIMEOUT) continue;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: movie_present_benchmark MOVIE.swf [SECONDS] [low|high]\n");
    return 2;
  }
  DeclareDpiAwareness();
  const std::string movie = argv[1];
  const double seconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 10.0;
  const bool high = argc <= 3 || std::strcmp(argv[3], "low") != 0;
  const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);

  WNDCLASSW host{};
  host.lpfnWndProc = DefWindowProcW;
  host.hInstance = ::GetModuleHandleW(nullptr);
  host.lpszClassName = L"VelmoraPresentBenchmark";
  ::RegisterClassW(&host);
  const HWND frame = ::CreateWindowExW(0, host.lpszClassName, L"movie", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                       nullptr, nullptr, host.hInstance, nullptr);
  if (!frame) return 1;
  MoviePlayerWindow control;
  if (!control.Create(frame, 0, 0, width, height)) return 1;
  control.SetQuality(high ? 1 : 0);
  control.SetMovie(movie);
  if (!control.MovieLoaded()) {
    std::fprintf(stderr, "%s: not a movie the player can load\n", movie.c_str());
    return 1;
  }
  control.SetVisible(true);
  // The first second loads and warms up; the figures are of what follows.
  Pump(1.0);
  const FrameCosts before = control.Costs();
  const double cpu = ProcessCpuSeconds(), wall = NowSeconds();
  Pump(seconds);
  const double spentCpu = ProcessCpuSeconds() - cpu, spentWall = NowSeconds() - wall;
  const FrameCosts& after = control.Costs();
  const double frames = static_cast<double>(after.frames - before.frames);
  const double paints = static_cast<double>(after.painted - before.painted);
  std::printf("%s at %dx%d, %s quality, timer every %.1f ms\n", movie.c_str(), width, height, high ? "high" : "low",
              control.TimerPeriodMs());
  std::printf("frames drawn that changed: %.0f in %.1f s (%.1f a second); paints: %.0f (%.1f a second)\n", frames,
              spentWall, frames / spentWall, paints, paints / spentWall);
  std::printf("process processor time: %.1f%% of a core\n", 100 * spentCpu / spentWall);
  if (frames > 0) {
    std::printf("per frame drawn: %.2f ms processor (all threads); wall: draw %.2f ms, hand on %.2f ms",
                1000 * spentCpu / frames, (after.drawMs - before.drawMs) / frames,
                (after.handMs - before.handMs) / frames);
    if (paints > 0)
      std::printf(", paint %.2f ms (%.2f Mpx a paint)", (after.paintMs - before.paintMs) / paints,
                  static_cast<double>(after.paintedPixels - before.paintedPixels) / paints / 1e6);
    std::printf("\nframes compared whole with the screen's last picture: %.0f\n",
                static_cast<double>(after.compared - before.compared));
  }
  ::DestroyWindow(frame);
  return 0;
}
