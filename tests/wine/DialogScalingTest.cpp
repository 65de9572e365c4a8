// The settings dialog and the splash window at the display's scale
// (VELMORA_LOGPIXELS: the program runs at 96, 120 and 144 DPI): their size,
// their shape (the window region is the skin's, and the skin is the art
// scaled to the DPI), the controls' places and font, no caption cut short,
// and a move to a monitor of another scale.
#include "common/Dpi.h"
#include "common/Units.h"
#include "controls/AreaResample.h"
#include "controls/RgbPictureGdi.h"
#include "resources/ResourceIds.h"
#include "settingsdialog/SkinSlices.h"
#include "startup/FrmWaiting.h"
#include "tests/wine/RunDpi.h"
#include "tests/wine/SettingsDialogFixture.h"

#include <gtest/gtest.h>


namespace velmora {
namespace {

using namespace std::chrono_literals;

RECT ClientPlace(HWND parent, HWND control) {
  RECT place{};
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// The skin a window of width x height has at `dpi`, from the art built in.
RgbPicture ExpectedSkin(int width, int height, int dpi) {
  const int art = ArtScaleForDpi(dpi);
  const std::optional<RgbPicture> source = EmbeddedRgbPicture(art == 2 ? IDR_SKIN_2X_PNG : IDR_SKIN_BMP);
  EXPECT_TRUE(source);
  return source ? ComposeSkin(*source, width, height, dpi, art) : RgbPicture();
}

// The window's shape is the skin's: the region of its pixels that are not
// the mask colour.
void ExpectShapeOfSkin(HWND window, const RgbPicture& skin) {
  const UniqueGdiObject region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(window, static_cast<HRGN>(region.get())), COMPLEXREGION);
  const UniqueGdiObject expected = RegionOutsideMask(skin, kSkinMaskRgb);
  EXPECT_TRUE(::EqualRgn(static_cast<HRGN>(region.get()), static_cast<HRGN>(expected.get())));
  EXPECT_FALSE(::PtInRegion(static_cast<HRGN>(region.get()), 0, 0));
  EXPECT_TRUE(::PtInRegion(static_cast<HRGN>(region.get()), skin.width / 2, 2));
}

// The dialog laid out at `dpi`: its size, skin, shape, font and the places
// of a few controls (as the 96-DPI layout scaled, within a pixel).
void ExpectLaidOutAt(FrmSetting& dialog, int dpi) {
  EXPECT_EQ(dialog.Dpi(), dpi);
  RECT client{};
  ::GetClientRect(dialog.hwnd(), &client);
  EXPECT_EQ(client.right, ScaleToDpi(FrmSetting::kWidth, dpi));
  EXPECT_EQ(client.bottom, ScaleToDpi(FrmSetting::kHeight, dpi));
  const RgbPicture skin = ExpectedSkin(client.right, client.bottom, dpi);
  EXPECT_TRUE(dialog.Skin() == skin);
  ExpectShapeOfSkin(dialog.hwnd(), dialog.Skin());
  EXPECT_EQ(dialog.TitleStrip().bottom, ScaleToDpi(SkinnedFrame::kTitleStripHeight, dpi));
  const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(dialog.Control("Monitors"), WM_GETFONT, 0, 0));
  LOGFONTW face{};
  ASSERT_TRUE(font && ::GetObjectW(font, sizeof face, &face));
  EXPECT_EQ(face.lfHeight, -ScaleToDpi(11, dpi));
  const struct {
    const char* name;
    RECT at96;
  } controls[] = {{"Ok", {560 - 198, 430 - 36, 560 - 198 + 88, 430 - 36 + 25}},
                  {"CloseButton", {560 - 34, 5, 560 - 10, 24}},
                  {"CheckGO0", {30, 74 + 16 + 34, 30 + 240, 74 + 16 + 34 + 20}},
                  {"MonitorsLabel", {30, 74 + 16 + 34 * 5 + 8, 30 + 110, 74 + 16 + 34 * 5 + 8 + 16}}};
  for (const auto& c : controls) {
    const RECT place = ClientPlace(dialog.hwnd(), dialog.Control(c.name));
    EXPECT_NEAR(place.left, ScaleToDpi(c.at96.left, dpi), 1) << c.name;
    EXPECT_NEAR(place.top, ScaleToDpi(c.at96.top, dpi), 1) << c.name;
    EXPECT_NEAR(place.right, ScaleToDpi(c.at96.right, dpi), 1) << c.name;
    EXPECT_NEAR(place.bottom, ScaleToDpi(c.at96.bottom, dpi), 1) << c.name;
  }
}

// Every visible label and check box of the page shows its whole caption
// in its font, and lies inside the window's shape.
void ExpectCaptionsFit(FrmSetting& dialog) {
  const UniqueGdiObject region(::CreateRectRgn(0, 0, 0, 0));
  ::GetWindowRgn(dialog.hwnd(), static_cast<HRGN>(region.get()));
  int checked = 0;
  for (HWND child = ::GetWindow(dialog.hwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child)) continue;
    const RECT place = ClientPlace(dialog.hwnd(), child);
    for (const POINT corner : {POINT{place.left, place.top}, POINT{place.right - 1, place.bottom - 1}})
      EXPECT_TRUE(::PtInRegion(static_cast<HRGN>(region.get()), corner.x, corner.y)) << WindowText(child);
    wchar_t cls[32]{};
    ::GetClassNameW(child, cls, 32);
    const std::wstring kind = cls;
    const std::string text = WindowText(child);
    if ((kind != L"Static" && kind != L"Button") || text.empty()) continue;
    const WindowDc dc = GetWindowDc(child);
    const UniqueSelection font =
        SelectInto(dc.get().dc, reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
    SIZE extent{};
    const std::wstring wide = Wide(text);
    ::GetTextExtentPoint32W(dc.get().dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    RECT box{};
    ::GetClientRect(child, &box);
    // A check box's caption sits right of its box.
    const int room = box.right - (kind == L"Button" ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0);
    EXPECT_LE(extent.cx, room) << text;
    EXPECT_LE(extent.cy, box.bottom + 2) << text;
    ++checked;
  }
  EXPECT_GE(checked, 6);
}

TEST_F(SettingsDialogTest, TheDialogIsLaidOutAtTheDisplaysScaleWithTheShapeOfItsScaledSkin) {
  DeclareDpiAwareness();  // as the program does first
  InstallDemo();
  Start();
  FrmSetting& dialog = OpenThroughTheMenu();
  const int dpi = test::RunDpi();
  ExpectLaidOutAt(dialog, dpi);
  ExpectCaptionsFit(dialog);
  // The buttons' faces are drawn for the DPI: the corner piece of the
  // face grows with it (at 96 DPI the 6-pixel corner of the art).
  const RgbPicture face = dialog.Button("Ok").RenderFace();
  EXPECT_EQ(face.width, ScaleToDpi(88, dpi));
  EXPECT_EQ(face.height, ScaleToDpi(25, dpi));
  dialog.PressTab(FrmSetting::kSlideTab);
  test::PumpFor(100ms);
  ExpectCaptionsFit(dialog);
  dialog.PressTab(FrmSetting::kFlashTab);
  test::PumpFor(100ms);
  ExpectCaptionsFit(dialog);
}

TEST_F(SettingsDialogTest, MovedToAMonitorOfAnotherScaleTheDialogIsLaidOutAgainForIt) {
  DeclareDpiAwareness();
  InstallDemo();
  Start();
  FrmSetting& dialog = OpenThroughTheMenu();
  dialog.PressTab(FrmSetting::kSlideTab);
  test::PumpFor(100ms);
  // The system tells the window its new DPI and the rectangle it suggests;
  // Wine never sends it, so the test does, as Windows would.
  for (const int dpi : {test::RunDpi() == 144 ? 96 : 144, test::RunDpi()}) {
    RECT place{};
    ::GetWindowRect(dialog.hwnd(), &place);
    RECT suggested{place.left, place.top, place.left + ScaleToDpi(FrmSetting::kWidth, dpi),
                   place.top + ScaleToDpi(FrmSetting::kHeight, dpi)};
    ::SendMessageW(dialog.hwnd(), kDpiChangedMessage, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    test::PumpFor(100ms);
    ExpectLaidOutAt(dialog, dpi);
    ExpectCaptionsFit(dialog);
    // The preview box took the new size, drawing and all.
    const RECT preview = ClientPlace(dialog.hwnd(), dialog.SlidePreview().hwnd());
    EXPECT_EQ(dialog.SlidePreview().Width(), preview.right - preview.left);
    EXPECT_EQ(dialog.SlidePreview().Height(), preview.bottom - preview.top);
  }
}

TEST(SplashScaling, TheSplashIsDrawnAtTheDisplaysScaleWithItsPictureWhole) {
  DeclareDpiAwareness();
  FrmWaiting splash([] { return false; });
  ASSERT_TRUE(splash.Show());
  const int dpi = test::RunDpi();
  EXPECT_EQ(splash.Dpi(), dpi);
  RECT client{};
  ::GetClientRect(splash.hwnd(), &client);
  EXPECT_EQ(client.right, ScaleToDpi(FrmWaiting::kWidth, dpi));
  EXPECT_EQ(client.bottom, ScaleToDpi(FrmWaiting::kHeight, dpi));
  EXPECT_TRUE(splash.Skin() == ExpectedSkin(client.right, client.bottom, dpi));
  ExpectShapeOfSkin(splash.hwnd(), splash.Skin());
  const RgbPicture& picture = splash.Picture();
  ASSERT_EQ(picture.width, ScaleToDpi(FrmWaiting::kPictureWidth, dpi));
  ASSERT_EQ(picture.height, ScaleToDpi(FrmWaiting::kPictureHeight, dpi));
  // The picture on the screen, in the middle of the window.
  test::PumpFor(200ms);
  const WindowDc dc = GetWindowDc(splash.hwnd());
  const int left = (client.right - picture.width) / 2, top = (client.bottom - picture.height) / 2;
  int same = 0, looked = 0;
  for (int y = 4; y < picture.height; y += 9)
    for (int x = 3; x < picture.width; x += 11) {
      const COLORREF shown = ::GetPixel(dc.get().dc, left + x, top + y);
      const uint32_t p = picture.At(x, y);
      same += shown == RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      ++looked;
    }
  EXPECT_EQ(same, looked);
  // At 96 DPI the picture is the art drawn for it, pixel for pixel; above,
  // the art drawn twice as large brought to the size by area, which keeps
  // its mean colour (a wrong piece of it, or the small art stretched, would
  // not).
  const std::optional<RgbPicture> small = EmbeddedRgbPicture(IDR_SPLASH_BMP);
  const std::optional<RgbPicture> large = EmbeddedRgbPicture(IDR_SPLASH_2X_PNG);
  ASSERT_TRUE(small && large);
  if (dpi == kBaseDpi) {
    EXPECT_TRUE(picture == *small);
    return;
  }
  const auto mean = [](const RgbPicture& p, int shift) {
    double sum = 0;
    for (uint32_t px : p.pixels) sum += (px >> shift) & 0xFF;
    return sum / static_cast<double>(p.pixels.size());
  };
  for (int shift : {0, 8, 16}) EXPECT_NEAR(mean(picture, shift), mean(*large, shift), 0.5) << shift;
  EXPECT_FALSE(picture == ScaledByArea(*small, picture.width, picture.height));
}

}  // namespace
}  // namespace velmora
