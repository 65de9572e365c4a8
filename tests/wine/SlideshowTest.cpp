// The background window in this process, in a scratch application folder:
// its placement, the slideshow's order, fitting and fades, mode changes.
#include "iconlayer/CDIB.h"
#include "iconlayer/FrmShortcut.h"
#include "settings/IniFile.h"
#include "startup/DesktopSession.h"
#include "tests/native/PngTestEncoder.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/TestSupport.h"
#include "wallpaper/FrmShortcutBG.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <cstdlib>
#include <memory>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;

uint32_t CanvasPixel(const CDIB& s, int x, int y) {
  const uint8_t* p = s.lpBits() + (s.Height() - 1 - y) * s.BytesPerScanline() + 4 * x;
  return p[0] | p[1] << 8 | p[2] << 16;  // 0x00RRGGBB
}

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGrey = 0x808080;

class SlideshowTest : public test::ProgramFolderTest {
 protected:
  void SetUp() override {
    ::CreateDirectoryA(app.File("Images").c_str(), nullptr);
    Picture("red.bmp", 800, 600, RGB(255, 0, 0));
    Picture("green.bmp", 800, 600, RGB(0, 255, 0));
    Picture("blue.bmp", 800, 600, RGB(0, 0, 255));
    Set("IMAGE", "Backcolor", "8421504");  // grey behind the slides
    Set("IMAGE", "Location", "0");
  }
  void Picture(const std::string& name, int w, int h, COLORREF colour) {
    CDIB s;
    ASSERT_TRUE(s.Create(w, h, 24));
    s.Cls(colour);
    ASSERT_TRUE(s.Save(app.File("Images\\" + name)));
  }
  bool Start() { return StartSession(); }
  // Pumps until `count` slides have completed.
  bool WaitSlides(int count, std::chrono::milliseconds timeout = 10s) {
    return test::PumpUntil([&] { return bg->Stats().slidesCompleted >= count; }, timeout);
  }
  uint32_t Centre() const { return CanvasPixel(bg->Canvas(), 512, 383); }
};

TEST_F(SlideshowTest, PlacementForEachTaskbarEdge) {
  ASSERT_TRUE(Start());
  std::string band;
  bg->SetTaskbarQuery([&] { return band; });
  struct Case {
    const char* band;
    RECT expected;
  } cases[] = {{"30*B", {0, 0, 1024, 738}},
               {"30*T", {0, 30, 1024, 768}},
               {"60*L", {60, 0, 1024, 768}},
               {"60*R", {0, 0, 964, 768}}};
  for (const Case& c : cases) {
    band = c.band;
    bg->ResizeScr();
    RECT r;
    ::GetWindowRect(bg->hwnd(), &r);
    EXPECT_EQ(r.left, c.expected.left) << c.band;
    EXPECT_EQ(r.top, c.expected.top) << c.band;
    EXPECT_EQ(r.right, c.expected.right) << c.band;
    EXPECT_EQ(r.bottom, c.expected.bottom) << c.band;
    test::PumpFor(20ms);
    EXPECT_EQ(bg->Canvas().Width(), c.expected.right - c.expected.left) << c.band;
  }
  RECT before;
  ::GetWindowRect(bg->hwnd(), &before);
  band = "";  // unrecognised (an auto-hidden taskbar): the window stays
  bg->ResizeScr();
  RECT after;
  ::GetWindowRect(bg->hwnd(), &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(SlideshowTest, ThreePicturesInOrderFittedAndShownOnScreen) {
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "Path", "red.bmp|images*green.bmp|images*blue.bmp|images*");
  Set("IMAGE", "Intervalvalue", "200");
  Set("IMAGE", "Speedvalue", "255");
  ASSERT_TRUE(Start());
  std::vector<uint32_t> seen;
  for (int n = 1; n <= 4; ++n) {
    ASSERT_TRUE(WaitSlides(n)) << n;
    seen.push_back(Centre());
    if (n == 1) {
      // 800 x 600 centred on 1024 x 767: at (112, 83).
      const auto rect = bg->SlideRect();
      EXPECT_EQ(rect.left, 112);
      EXPECT_EQ(rect.top, 84);  // fitted against the screen, 1024 x 768
      EXPECT_EQ(rect.width, 800);
      EXPECT_EQ(CanvasPixel(bg->Canvas(), 112, 84), kRed);
      EXPECT_EQ(CanvasPixel(bg->Canvas(), 911, 683), kRed);
      EXPECT_EQ(CanvasPixel(bg->Canvas(), 111, 84), kGrey);
      EXPECT_EQ(CanvasPixel(bg->Canvas(), 912, 683), kGrey);
      EXPECT_EQ(CanvasPixel(bg->Canvas(), 500, 83), kGrey);
      // The screen shows the same, once the compositor has caught up; the
      // icon layer above is all but transparent there.
      const HDC screen = ::GetDC(nullptr);
      auto shows = [&](int x, int y, int r, int g, int b) {
        const COLORREF c = ::GetPixel(screen, x, y);
        return std::abs(GetRValue(c) - r) <= 2 && std::abs(GetGValue(c) - g) <= 2 &&
               std::abs(GetBValue(c) - b) <= 2;
      };
      EXPECT_TRUE(test::PumpUntil([&] { return shows(500, 300, 255, 0, 0); }, 2s))
          << std::hex << ::GetPixel(screen, 500, 300);
      EXPECT_TRUE(shows(600, 40, 128, 128, 128)) << std::hex << ::GetPixel(screen, 600, 40);
      ::ReleaseDC(nullptr, screen);
    }
  }
  EXPECT_EQ(seen, (std::vector<uint32_t>{kRed, kGreen, kBlue, kRed}));
  EXPECT_EQ(bg->Stats().fadeFrames, 4);  // step 255: one frame per slide
}

TEST_F(SlideshowTest, StretchedSlidesCoverTheWindow) {
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "Location", "1");
  Set("IMAGE", "Path", "green.bmp|images*");
  Set("IMAGE", "Speedvalue", "30");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitSlides(1));
  EXPECT_EQ(bg->Stats().fadeFrames, 8);  // 0, 30, ..., 210, then the final draw
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 0, 0), kGreen);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 1023, bg->Canvas().Height() - 1), kGreen);
}

TEST_F(SlideshowTest, BadPicturesShowThePreviousSlideAgain) {
  test::WriteFileBytes(app.File("Images\\cut.bmp"),
                       test::ReadFileBytes(app.File("Images\\red.bmp")).substr(0, 100));
  test::WriteFileBytes(app.File("Images\\noise.png"), "\x89PNG not really");
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "Path",
      "red.bmp|images*gone.bmp|images*cut.bmp|images*noise.png|images*green.bmp|images*");
  Set("IMAGE", "Intervalvalue", "300");
  Set("IMAGE", "Speedvalue", "255");
  Picture("gone.bmp", 10, 10, RGB(0, 0, 0));  // present at start, so the load keeps it
  ASSERT_TRUE(Start());
  ASSERT_TRUE(::DeleteFileA(app.File("Images\\gone.bmp").c_str()));
  std::vector<uint32_t> seen;
  for (int n = 1; n <= 5; ++n) {
    ASSERT_TRUE(WaitSlides(n, 5s)) << n;
    EXPECT_EQ(bg->Stats().slidesCompleted, n);
    seen.push_back(Centre());
  }
  EXPECT_EQ(seen, (std::vector<uint32_t>{kRed, kRed, kRed, kRed, kGreen}));
}

TEST_F(SlideshowTest, IntervalZeroShowsOneSlideOnly) {
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "Path", "red.bmp|images*green.bmp|images*");
  Set("IMAGE", "Intervalvalue", "0");
  Set("IMAGE", "Speedvalue", "255");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitSlides(1));
  test::PumpFor(600ms);
  EXPECT_EQ(bg->Stats().slidesStarted, 1);
  EXPECT_EQ(Centre(), kRed);
}

TEST_F(SlideshowTest, StepZeroDrawsTheSlideOpaqueAtOnce) {
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "Path", "blue.bmp|images*");
  Set("IMAGE", "Speedvalue", "0");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitSlides(1));
  EXPECT_EQ(bg->Stats().fadeFrames, 0);
  EXPECT_EQ(Centre(), kBlue);
}

TEST_F(SlideshowTest, BackgroundPictureLiesUnderTheSlides) {
  CDIB picture;
  ASSERT_TRUE(picture.Create(300, 200, 24));
  picture.Cls(RGB(0, 0, 255));
  ASSERT_TRUE(picture.Save(app.File("BgTemp.bmp")));
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "BgCheck", "1");
  Set("IMAGE", "Path", "red.bmp|images*");
  Set("IMAGE", "Speedvalue", "255");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitSlides(1));
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 10, 10), kBlue);     // the picture, at the top left
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 150, 150), kRed);    // the slide over it
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 1000, 20), 0x8080FFu);  // the window's own colour
}

TEST_F(SlideshowTest, MissingBackgroundPictureLeavesTheColour) {
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "BgCheck", "1");
  Set("IMAGE", "Path", "red.bmp|images*");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitSlides(1));
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 10, 10), 0x8080FFu);  // 16744576 is 0x00FF8080 in BGR
  EXPECT_EQ(Centre(), kRed);
}

TEST_F(SlideshowTest, EmptyListDrawsNothing) {
  Set("MAIN", "WallInx", "2");
  ASSERT_TRUE(Start());
  test::PumpFor(300ms);
  EXPECT_EQ(bg->Stats().slidesStarted, 0);
  EXPECT_EQ(Centre(), kGrey);
}

FrmShortcutBG* switching = nullptr;
int framesAtSwitch = -1;
void CALLBACK SwitchToMovieMidFade(HWND, UINT, UINT_PTR id, DWORD) {
  if (!switching || switching->Stats().fadeFrames < 5 || framesAtSwitch >= 0) return;
  ::KillTimer(nullptr, id);
  framesAtSwitch = switching->Stats().fadeFrames;
  WriteIniString(SettingsFilePath(switching->AppDirectory()), "MAIN", "WallInx", "1");
  switching->ApplyWallpaperMode();
}

TEST_F(SlideshowTest, SwitchingToTheMovieStopsAFadeAtItsNextFrame) {
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "Path", "red.bmp|images*green.bmp|images*");
  Set("IMAGE", "Speedvalue", "1");  // 255 frames: a long fade
  Set("IMAGE", "Intervalvalue", "50");
  ASSERT_TRUE(Start());
  switching = bg;
  framesAtSwitch = -1;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, SwitchToMovieMidFade);
  ASSERT_TRUE(test::PumpUntil([] { return framesAtSwitch >= 0; }, 10s));
  ::KillTimer(nullptr, timer);
  test::PumpFor(500ms);
  EXPECT_EQ(bg->Stats().fadeFrames, framesAtSwitch);  // no frame after the switch
  EXPECT_EQ(bg->Stats().slidesCompleted, 0);
  EXPECT_TRUE(bg->SlideshowStopped());
  EXPECT_EQ(bg->SlideIndex(), 0);
  EXPECT_EQ(Centre(), kGrey);  // the drawing was cleared for the movie
  switching = nullptr;
}

TEST_F(SlideshowTest, StandardModeEndsTheProgramAtTheFirstResize) {
  Set("MAIN", "WallInx", "3");
  EXPECT_FALSE(Start());
  EXPECT_EQ(bg->hwnd(), nullptr);
  MSG msg;
  EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(SlideshowTest, ModeZeroAppliesNothing) {
  Set("IMAGE", "Path", "red.bmp|images*");
  ASSERT_TRUE(Start());
  test::PumpFor(300ms);
  EXPECT_EQ(bg->Stats().slidesStarted, 0);
  EXPECT_EQ(Centre(), CanvasPixel(bg->Canvas(), 0, 0));
}

// Closes the background window from inside the load's list pruning, which
// dispatches messages before each entry.
void CALLBACK CloseBackgroundWindow(HWND, UINT, UINT_PTR id, DWORD) {
  const HWND window = test::FindProcessWindow(::GetCurrentProcessId(), FrmShortcutBG::kClassName);
  if (!window) return;
  ::KillTimer(nullptr, id);
  ::SendMessageA(window, WM_CLOSE, 0, 0);
}

TEST_F(SlideshowTest, ALoadEndedByACloseLeavesNoHourglass) {
  std::string list;
  for (int i = 0; i < 200; ++i) list += "red.bmp|images*";
  Set("IMAGE", "Path", list);
  const HCURSOR arrow = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  const HCURSOR hourglass = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));
  ::SetCursor(arrow);
  // The window alone, without the session's shut-down (whose own hourglass
  // ends with it).
  SettingsStore store(app.path());
  DesktopInventory items;
  FrmShortcutBG alone(store, items, {});
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, CloseBackgroundWindow);
  EXPECT_FALSE(alone.Show());
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(alone.hwnd(), nullptr);
  EXPECT_NE(::GetCursor(), hourglass);
  EXPECT_EQ(::GetCursor(), arrow);
}

// Bytes of address space in use: committed blocks, found by walking the
// address space (Wine counts DIB sections in no process memory counter).
SIZE_T CommittedBytes() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* p = nullptr; ::VirtualQuery(p, &info, sizeof info) == sizeof info;
       p = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type != MEM_IMAGE) total += info.RegionSize;
    if (static_cast<const char*>(info.BaseAddress) + info.RegionSize < p) break;
  }
  return total;
}

TEST_F(SlideshowTest, ManySlidesLeakNoGdiObjects) {
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "Path", "red.bmp|images*green.bmp|images*blue.bmp|images*");
  Set("IMAGE", "Intervalvalue", "10");
  Set("IMAGE", "Speedvalue", "128");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitSlides(3));
  const DWORD objectsBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  const SIZE_T memoryBefore = CommittedBytes();
  ASSERT_TRUE(WaitSlides(24, 60s));
  const DWORD objectsAfter = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  const SIZE_T memoryAfter = CommittedBytes();
  std::printf("after 3 and 24 slides: GDI objects %lu, %lu; committed memory %llu KB, %llu KB\n",
              objectsBefore, objectsAfter, static_cast<unsigned long long>(memoryBefore / 1024),
              static_cast<unsigned long long>(memoryAfter / 1024));
  // Wine does not count GDI objects (it reports 0); Windows does. A leaked
  // slide surface (800 x 600 x 4 bytes) would show in the memory either way.
  EXPECT_LE(objectsAfter, objectsBefore + 2);
  EXPECT_LT(memoryAfter, memoryBefore + 8 * 1024 * 1024);
}

TEST_F(SlideshowTest, AHugePictureCostsAboutWhatTheScreenShows) {
  // 8000 x 8000: 256 MB of pixels at its own size, some 2 MB of file.
  test::WriteFileBytes(app.File("Images\\huge.png"), test::StripesPng(8000, 8000));
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "Path", "huge.png|images*red.bmp|images*");
  Set("IMAGE", "Intervalvalue", "500");
  Set("IMAGE", "Speedvalue", "128");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitSlides(2, 20s));
  // Watched from another thread while the slides are decoded and shown.
  const SIZE_T before = CommittedBytes();
  std::atomic<bool> done{false};
  std::atomic<SIZE_T> most{before};
  std::thread watcher([&] {
    while (!done) {
      most = std::max<SIZE_T>(most, CommittedBytes());
      std::this_thread::sleep_for(5ms);
    }
  });
  const bool shown = WaitSlides(6, 40s);
  done = true;
  watcher.join();
  ASSERT_TRUE(shown);
  std::printf("committed memory %llu KB, at most %llu KB while showing a huge picture\n",
              static_cast<unsigned long long>(before / 1024), static_cast<unsigned long long>(most / 1024));
  // The slide's two surfaces (3 MB) and a few rows: far below one screen of
  // the source picture.
  EXPECT_LT(most - before, SIZE_T{24} << 20);
}

TEST_F(SlideshowTest, ANewPlaceKeepsTheSlideAndRecomposesTheLayerAtItsSize) {
  Set("MAIN", "WallInx", "2");
  Set("IMAGE", "Path", "red.bmp|images*");
  Set("IMAGE", "Intervalvalue", "60000");
  Set("IMAGE", "Speedvalue", "255");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitSlides(1));
  ASSERT_EQ(Centre(), kRed);
  FrmShortcut* layer = session->IconLayer();
  ASSERT_NE(layer, nullptr);
  // The screen outside the taskbar shrinks (a display change re-places the
  // windows the same way).
  bg->SetTaskbarQuery([] { return std::string("100*B"); });
  bg->ResizeScr();
  test::PumpFor(100ms);
  EXPECT_EQ(bg->Canvas().Height(), 668);
  EXPECT_EQ(CanvasPixel(bg->Canvas(), 512, 334), kRed);  // the slide drawn again, fitted
  RECT client;
  ::GetClientRect(layer->hwnd(), &client);
  EXPECT_EQ(client.bottom, 668);
  EXPECT_EQ(layer->LastComposition().Height(), 668);  // composed at the new size
  EXPECT_EQ(bg->Stats().slidesStarted, 1);  // the slideshow did not start over
}

}  // namespace
}  // namespace velmora
