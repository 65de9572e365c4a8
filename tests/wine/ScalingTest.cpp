// The desktop at the display's scale (VELMORA_LOGPIXELS: 96, 120 or 144 for
// the run's prefix; ctest runs this program at each): the layer's grid, icons
// and labels at that DPI with no label reaching another item's icon, measured
// on the layer's pixels; the movie drawn at the full size of the screen; the
// layout remembered apart for each DPI.
#include "common/Dpi.h"
#include "iconlayer/PositionMemory.h"
#include "settings/ProgramValues.h"
#include "settings/IniFile.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/RunDpi.h"
#include "tests/wine/TestMovies.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace velmora {
namespace {

using namespace std::chrono_literals;

bool Ink(uint32_t p) { return (p >> 24) > 16; }  // more than the pointer-catching fill

class ScalingTest : public test::ScratchDesktopTest {
 protected:
  void MakeItems() {
    // Long names take two lines, the longest is cut.
    for (const char* name : {"Quarterly report of the year.txt", "notes.txt", "A folder with a long name",
                             "Holiday pictures 2026.txt", "x.txt", "Another rather long document.txt"}) {
      const std::string path = own + "\\" + name;
      if (std::string(name).find('.') == std::string::npos)
        ::CreateDirectoryA(path.c_str(), nullptr);
      else
        test::WriteFileBytes(path, "text");
    }
  }
  // Whether any pixel of a rectangle of the composition is ink.
  static bool InkIn(const CDIB& c, int x0, int y0, int w, int h) { return test::Count(c, x0, y0, w, h, Ink) > 0; }
};

TEST(DpiAwareness, TheProcessEndsUpAwareOfEachMonitorsDpi) {
  // Wine makes every process per-monitor aware before it runs and refuses
  // any change; on Windows the declaration is what makes it so. Either way
  // the process must end up per-monitor aware (2), not stretched.
  DeclareDpiAwareness();
  using GetAwarenessFn = HRESULT(WINAPI*)(HANDLE, int*);
  const HMODULE shcore = ::LoadLibraryW(L"shcore.dll");
  ASSERT_NE(shcore, nullptr);
  const auto get = reinterpret_cast<GetAwarenessFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(shcore, "GetProcessDpiAwareness")));
  ASSERT_NE(get, nullptr);
  int awareness = -1;
  EXPECT_EQ(get(nullptr, &awareness), S_OK);
  EXPECT_EQ(awareness, 2);
  ::FreeLibrary(shcore);
}

TEST(DpiAwareness, TheManifestDeclaresPerMonitorV2WithItsFallbacks) {
  // The program's manifest as built into this program with its resources.
  const HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const HGLOBAL loaded = ::LoadResource(nullptr, found);
  ASSERT_NE(loaded, nullptr);
  const std::string text(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(nullptr, found));
  // The newer element with per-monitor v2 first and per-monitor after it,
  // in its own namespace; the older one ("true/pm") for the systems that
  // read only that; layered child windows' Windows 8 entry.
  const size_t awareness = text.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">");
  ASSERT_NE(awareness, std::string::npos);
  EXPECT_EQ(text.compare(text.find('>', awareness) + 1, 26, "PerMonitorV2, PerMonitor</"), 0);
  EXPECT_NE(text.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
            std::string::npos);
  EXPECT_NE(text.find("{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"), std::string::npos);
}

TEST_F(ScalingTest, TheSystemAndTheLayerAreAtTheRunsDpi) {
  const int dpi = test::RunDpi();
  FrmShortcut& layer = Start();
  EXPECT_EQ(DpiOfWindow(layer.hwnd()), dpi);
  EXPECT_EQ(DpiOfWindow(bg->hwnd()), dpi);
  const LayerMetrics& m = layer.Metrics();
  EXPECT_EQ(m.dpi, dpi);
  // The system's large icon at that DPI (32, 40, 48), and the icons drawn
  // at that size.
  EXPECT_EQ(m.iconSize, ScaleToDpi(32, dpi));
  EXPECT_EQ(m.iconSize, ::GetSystemMetrics(SM_CXICON));
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(layer.IconHandle(1), &info));
  BITMAP bits{};
  ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  EXPECT_EQ(bits.bmWidth, m.iconSize);
  // The default grid of that DPI: the first column from its left edge, rows
  // a scaled 72 apart.
  ASSERT_GE(layer.Positions().size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(layer.Positions()[static_cast<size_t>(i)].x, ScaleToDpi(30, dpi)) << i;
    EXPECT_EQ(layer.Positions()[static_cast<size_t>(i)].y, i * ScaleToDpi(72, dpi)) << i;
  }
}

TEST_F(ScalingTest, NoLabelReachesTheIconOfTheItemBelowIt) {
  MakeItems();
  FrmShortcut& layer = Start();
  const LayerMetrics& m = layer.Metrics();
  const CDIB& c = layer.LastComposition();
  const std::vector<ItemPosition>& at = layer.Positions();
  ASSERT_GE(at.size(), 11u);
  int pairs = 0;
  for (size_t i = 0; i < at.size(); ++i) {
    // The item right below in the same column.
    size_t below = at.size();
    for (size_t j = 0; j < at.size(); ++j)
      if (at[j].x == at[i].x && at[j].y > at[i].y && (below == at.size() || at[j].y < at[below].y)) below = j;
    if (below == at.size()) continue;
    ++pairs;
    // Rows from the icon's bottom to the next icon's top, across the label's
    // box: the label's ink starts there and a clear row ends it before the
    // next icon.
    const int left = at[i].x - m.labelLeft, width = m.labelWidth;
    int labelTop = -1, labelEnd = -1;
    for (int y = at[i].y + m.iconSize; y < at[below].y; ++y) {
      const bool ink = InkIn(c, left, y, width, 1);
      if (ink && labelTop < 0) labelTop = y;
      if (!ink && labelTop >= 0) {
        labelEnd = y;
        break;
      }
    }
    EXPECT_GE(labelTop, 0) << "no label drawn under item " << i;
    EXPECT_GE(labelEnd, 0) << "the label of item " << i << " runs into the icon of item " << below << " top "
                           << labelTop << " next icon at " << at[below].y;
    // And the next icon itself is drawn where the grid puts it.
    EXPECT_TRUE(InkIn(c, at[below].x, at[below].y, m.iconSize, m.iconSize)) << below;
  }
  EXPECT_GE(pairs, 8) << "too few items one above the other to compare";
  // The labels' text is as high as the DPI's font: a long label's two lines
  // fill most of their box.
  const size_t longOne = static_cast<size_t>(IndexOf("Quarterly report of the year.txt"));
  ASSERT_LT(longOne, at.size());
  int inkRows = 0;
  for (int y = at[longOne].y + m.labelTop; y < at[longOne].y + m.labelTop + m.labelTwoLines + 2; ++y)
    inkRows += InkIn(c, at[longOne].x - m.labelLeft, y, m.labelWidth, 1);
  EXPECT_GE(inkRows, m.labelTwoLines * 2 / 3);
}

TEST_F(ScalingTest, TheMovieIsDrawnAtTheFullSizeOfTheScreen) {
  ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
  test::WriteFileBytes(app.File("Flashs\\moving.swf"), test::MovingSquareMovie());
  Set("MAIN", "WallInx", "1");
  Set("FLASH", "CurFlash", "moving.swf|flashs*");
  Set("FLASH", "Moviesize", "1");  // stretched over the whole window
  Set("FLASH", "BackgroundColor", "65280");  // green
  Start();
  ASSERT_TRUE(test::PumpUntil([&] { return bg->DesktopFlash().FramesRun() > 3; }, 10s));
  // Wine's taskbar is a 1-pixel band at the bottom: the rest of the screen.
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(w, 1024) << "the screen's pixels, whatever the scale";
  RECT client{};
  ::GetClientRect(bg->hwnd(), &client);
  EXPECT_EQ(client.right, w);
  EXPECT_EQ(client.bottom, h - 1);
  const swf::Canvas& frame = bg->DesktopFlash().Frame();
  EXPECT_EQ(frame.width, w);
  EXPECT_EQ(frame.height, h - 1);
  // The green stage reaches the far corner of the frame, and the red square
  // (50 of the stage's 400 x 300) is stretched with it.
  ASSERT_FALSE(frame.pixels.empty());
  EXPECT_EQ(frame.Row(frame.height - 2)[frame.width - 2] & 0xFFFFFFu, 0x00FF00u);
  int red = 0;
  for (uint32_t p : frame.pixels) red += (p & 0xFFFFFFu) == 0xFF0000u;
  const double expected = (50.0 * w / 400) * (50.0 * (h - 1) / 300);
  EXPECT_NEAR(red, expected, expected * 0.05) << "the square's pixels";
}

TEST_F(ScalingTest, APlaceMovedAtThisDpiIsRememberedForIt) {
  const int dpi = test::RunDpi();
  FrmShortcut& layer = Start();
  const LayerMetrics& m = layer.Metrics();
  // Item 2 dropped into the third column, as a drag would.
  layer.LoadIcons(true, 2, false, m.gridLeft + 2 * m.columnWidth + 5, m.rowHeight + 5);
  const ItemPosition moved = layer.Positions()[2];
  EXPECT_EQ(moved.x, m.gridLeft + 2 * m.columnWidth);
  EXPECT_EQ(moved.y, m.rowHeight);
  RECT client{};
  ::GetClientRect(layer.hwnd(), &client);
  const std::string name = LayerSizeName(client.right, client.bottom, dpi);
  EXPECT_EQ(name.find('@') == std::string::npos, dpi == kBaseDpi) << name;
  EXPECT_NE(ReadRememberedPlaces(name), "");
  EXPECT_EQ(ReadProgramValues().scaleDpi, dpi);
  // Places remembered at another DPI are not this one's.
  EXPECT_EQ(ReadRememberedPlaces(LayerSizeName(client.right, client.bottom, dpi == 96 ? 144 : 96)), "");
}

TEST_F(ScalingTest, MovedToAnotherScaleTheLayerIsLaidOutForItAndComesBackToItsPlaces) {
  const int dpi = test::RunDpi(), other = dpi == 144 ? 96 : 144;
  FrmShortcut& layer = Start();
  const auto dropInto = [&](int item, int column, int row) {
    const LayerMetrics& m = layer.Metrics();
    layer.LoadIcons(true, item, false, m.gridLeft + column * m.columnWidth + 5, row * m.rowHeight + 5);
  };
  dropInto(2, 2, 1);
  const ItemPosition here = layer.Positions()[2];
  // The layer's monitor changes scale: the system tells with WM_DPICHANGED.
  const auto tell = [&](int now) {
    layer.SetDpiQuery([now](HWND) { return now; });
    RECT suggested{};
    ::GetWindowRect(layer.hwnd(), &suggested);
    ::SendMessageA(layer.hwnd(), kDpiChangedMessage, MAKEWPARAM(now, now), reinterpret_cast<LPARAM>(&suggested));
  };
  tell(other);
  const LayerMetrics& m = layer.Metrics();
  ASSERT_EQ(m.dpi, other);
  EXPECT_EQ(m.iconSize, ScaleToDpi(32, other));
  // The icons extracted again at that size, the grid of that DPI (nothing
  // was moved at it yet).
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(layer.IconHandle(1), &info));
  BITMAP bits{};
  ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  EXPECT_EQ(bits.bmWidth, m.iconSize);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(layer.Positions()[static_cast<size_t>(i)].x, m.gridLeft) << i;
    EXPECT_EQ(layer.Positions()[static_cast<size_t>(i)].y, i * m.rowHeight) << i;
  }
  // The label of an item is drawn at the font of that DPI: its ink reaches
  // further down than the 96-DPI one would and stops before the next icon.
  const CDIB& c = layer.LastComposition();
  const ItemPosition first = layer.Positions()[1];
  int lastInkRow = -1;
  for (int y = first.y + m.iconSize; y < layer.Positions()[2].y; ++y)
    if (test::Count(c, first.x - m.labelLeft, y, m.labelWidth, 1, Ink) > 0) lastInkRow = y;
  ASSERT_GE(lastInkRow, 0);
  EXPECT_LT(lastInkRow, layer.Positions()[2].y);
  dropInto(3, 1, 0);
  const ItemPosition there = layer.Positions()[3];
  // Back at the first scale: its places again; and the other one's again.
  tell(dpi);
  EXPECT_EQ(layer.Metrics().dpi, dpi);
  EXPECT_EQ(layer.Positions()[2].x, here.x);
  EXPECT_EQ(layer.Positions()[2].y, here.y);
  EXPECT_EQ(layer.Positions()[3].x, layer.Metrics().gridLeft);
  tell(other);
  EXPECT_EQ(layer.Positions()[3].x, there.x);
  EXPECT_EQ(layer.Positions()[3].y, there.y);
  EXPECT_EQ(layer.Positions()[2].x, layer.Metrics().gridLeft);
}

}  // namespace
}  // namespace velmora
