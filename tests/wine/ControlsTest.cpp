// The drawn controls and the skinned windows with real mouse and key input:
// the window shape against the skin's pixels, clicks through the cut-away
// parts, moving by the title strip, the push button's looks and events, the
// spin box's arrows, keys and repeat, and the skin in a folder that cannot
// be written.
#include "common/WinText.h"
#include "controls/NineSlice.h"
#include "controls/RgbPictureGdi.h"
#include "controls/UpDownBox.h"
#include "controls/ucCustomButton.h"
#include "resources/ResourceIds.h"
#include "settingsdialog/SkinSlices.h"
#include "settingsdialog/SkinnedFrame.h"
#include "startup/FrmWaiting.h"
#include "tests/wine/RealInput.h"
#include "tests/wine/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace velmora {
namespace {

using namespace std::chrono_literals;

// A plain window that counts the left-button presses it gets: the window
// under a skinned one, and the container of the controls.
int hostPresses = 0;
LRESULT CALLBACK HostProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_LBUTTONDOWN) ++hostPresses;
  return ::DefWindowProcW(w, m, wp, lp);
}
UniqueWindow MakeHost(int x, int y, int width, int height) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = HostProcedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"VelmoraTestHost";
  ::RegisterClassW(&wc);
  UniqueWindow host(::CreateWindowExW(0, L"VelmoraTestHost", L"host", WS_POPUP | WS_VISIBLE, x, y,
                                      width, height, nullptr, nullptr, wc.hInstance, nullptr));
  test::PumpFor(50ms);
  return host;
}

POINT ScreenOf(HWND window, int x, int y) {
  POINT p{x, y};
  ::ClientToScreen(window, &p);
  return p;
}

// Presses, moves and lets go from another thread, while this one runs the
// window's messages (a move by the title strip is a loop of the system's
// that returns only on the release).
void DragWhilePumping(POINT from, POINT to, int button) {
  test::MovePointer(from);
  std::atomic<bool> done{false};
  std::thread hand([&] {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = button == 2 ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    ::SendInput(1, &input, sizeof input);
    ::Sleep(150);
    for (int step = 1; step <= 6; ++step) {
      INPUT move{};
      move.type = INPUT_MOUSE;
      move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
      const int x = from.x + (to.x - from.x) * step / 6, y = from.y + (to.y - from.y) * step / 6;
      move.mi.dx = MulDiv(x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
      move.mi.dy = MulDiv(y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
      ::SendInput(1, &move, sizeof move);
      ::Sleep(60);
    }
    input.mi.dwFlags = button == 2 ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof input);
    ::Sleep(100);
    done = true;
  });
  test::PumpUntil([&] { return done.load(); }, 5s);
  hand.join();
  test::PumpFor(100ms);
}

RECT WindowPlace(HWND w) {
  RECT r;
  ::GetWindowRect(w, &r);
  return r;
}

TEST(SkinnedWindows, TheShapeIsExactlyTheSkinsPixelsThatAreNotMagenta) {
  test::ScratchDir app;
  SkinnedFrame frame(app.path(), "Velmora Settings");
  ASSERT_TRUE(frame.Show(nullptr, 120, 90, 430, 290));
  const RgbPicture& skin = frame.Skin();
  ASSERT_EQ(skin.width, 430);
  ASSERT_EQ(skin.height, 290);
  const UniqueGdiObject region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(::GetWindowRgn(frame.hwnd(), static_cast<HRGN>(region.get())), ERROR);
  int kept = 0, cut = 0, wrong = 0;
  for (int y = 0; y < skin.height; ++y)
    for (int x = 0; x < skin.width; ++x) {
      const bool magenta = skin.At(x, y) == kSkinMaskRgb;
      const bool inside = ::PtInRegion(static_cast<HRGN>(region.get()), x, y) != FALSE;
      wrong += inside == magenta;
      (magenta ? cut : kept) += 1;
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(cut, 20);  // the rounded corners
  EXPECT_GT(kept, 430 * 280);
  // The window is as large as its skin; the skin's copy was written.
  const RECT place = WindowPlace(frame.hwnd());
  EXPECT_EQ(place.right - place.left, 430);
  EXPECT_EQ(place.bottom - place.top, 290);
  const std::optional<RgbPicture> copy = DecodeRgbPicture(test::ReadFileBytes(app.File("Skintemp.bmp")));
  ASSERT_TRUE(copy);
  EXPECT_TRUE(*copy == skin);
  // The skin is the template: the same shape again, composed in memory.
  const std::optional<RgbPicture> skinTemplate = EmbeddedRgbPicture(IDR_SKIN_BMP);
  ASSERT_TRUE(skinTemplate);
  EXPECT_TRUE(ComposeSkin(*skinTemplate, 430, 290) == skin);
}

TEST(SkinnedWindows, AClickOnACutAwayPixelReachesTheWindowBelow) {
  test::ScratchDir app;
  const UniqueWindow below = MakeHost(100, 100, 500, 400);
  SkinnedFrame frame(app.path(), "Velmora");
  ASSERT_TRUE(frame.Show(nullptr, 150, 150, 300, 200));
  test::PumpFor(100ms);
  // A click activates the window it reaches, which then covers the other:
  // the frame is put back on top before each.
  const auto clickAt = [&](int x, int y) {
    ::SetWindowPos(frame.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    test::PumpFor(50ms);
    hostPresses = 0;
    test::Click(ScreenOf(frame.hwnd(), x, y));
    return hostPresses;
  };
  EXPECT_EQ(clickAt(150, 100), 0);  // the body is the frame's
  EXPECT_EQ(clickAt(0, 0), 1);      // the rounded corners are cut away
  EXPECT_EQ(clickAt(299, 199), 1);
  EXPECT_EQ(clickAt(0, 100), 0);    // the outline at the side is the frame's
}

TEST(SkinnedWindows, TheLeftButtonOnTheTitleStripMovesTheWindowTheRightDoesNot) {
  test::ScratchDir app;
  SkinnedFrame frame(app.path(), "Velmora");
  ASSERT_TRUE(frame.Show(nullptr, 200, 150, 320, 220));
  test::PumpFor(100ms);
  const RECT before = WindowPlace(frame.hwnd());
  // The right button on the strip: nothing moves.
  DragWhilePumping(ScreenOf(frame.hwnd(), 160, 12), ScreenOf(frame.hwnd(), 240, 62), 2);
  EXPECT_EQ(WindowPlace(frame.hwnd()).left, before.left);
  EXPECT_EQ(WindowPlace(frame.hwnd()).top, before.top);
  // The left button below the strip: nothing moves either.
  DragWhilePumping(ScreenOf(frame.hwnd(), 160, 100), ScreenOf(frame.hwnd(), 240, 150), 1);
  EXPECT_EQ(WindowPlace(frame.hwnd()).left, before.left);
  // The left button on the strip carries the window along.
  DragWhilePumping(ScreenOf(frame.hwnd(), 160, 12), ScreenOf(frame.hwnd(), 240, 62), 1);
  const RECT after = WindowPlace(frame.hwnd());
  EXPECT_EQ(after.left - before.left, 80);
  EXPECT_EQ(after.top - before.top, 50);
}

TEST(SkinnedWindows, AProgramFolderThatCannotBeWrittenStillGivesTheShape) {
  test::ScratchDir app;
  // A file where the folder should be: nothing can be written inside it.
  const std::string notAFolder = app.File("locked");
  test::WriteFileBytes(notAFolder, "x");
  SkinnedFrame frame(notAFolder, "Velmora");
  ASSERT_TRUE(frame.Show(nullptr, 100, 100, 300, 200));
  ASSERT_TRUE(frame.Skin());
  const UniqueGdiObject region(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(frame.hwnd(), static_cast<HRGN>(region.get())), COMPLEXREGION);
  EXPECT_FALSE(::PtInRegion(static_cast<HRGN>(region.get()), 0, 0));
  EXPECT_TRUE(::PtInRegion(static_cast<HRGN>(region.get()), 150, 100));
  // The splash window too.
  FrmWaiting splash([] { return false; }, notAFolder);
  ASSERT_TRUE(splash.Show());
  const UniqueGdiObject splashRegion(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(splash.hwnd(), static_cast<HRGN>(splashRegion.get())), COMPLEXREGION);
  EXPECT_FALSE(::PtInRegion(static_cast<HRGN>(splashRegion.get()), 0, 0));
  EXPECT_TRUE(::PtInRegion(static_cast<HRGN>(splashRegion.get()), FrmWaiting::kWidth / 2, 10));
}

TEST(SkinnedWindows, APictureAllInTheMaskColourLeavesAnEmptyClickThroughWindow) {
  const UniqueWindow below = MakeHost(100, 100, 400, 300);
  const UniqueWindow shaped(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 150, 150,
                                              200, 100, nullptr, nullptr, nullptr, nullptr));
  Transparent shape(shaped.get());
  shape.SetMaskColor(RGB(255, 0, 255));
  for (int i = 0; i < 3; ++i) shape.SetMaskPicture(RgbPicture(120, 80, kSkinMaskRgb));  // set again: no leak
  test::PumpFor(50ms);
  const UniqueGdiObject region(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(shaped.get(), static_cast<HRGN>(region.get())), NULLREGION);
  EXPECT_EQ(WindowPlace(shaped.get()).right - WindowPlace(shaped.get()).left, 120);
  hostPresses = 0;
  test::Click({180, 180});
  EXPECT_EQ(hostPresses, 1);
  // A different mask colour shapes the window again at once: now all of it.
  shape.SetMaskColor(RGB(0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(shaped.get(), static_cast<HRGN>(region.get())), SIMPLEREGION);
  // Shaping over and over does not leave GDI objects behind.
  const DWORD objects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 200; ++i) shape.SetMaskPicture(RgbPicture(120, 80, i % 2 ? kSkinMaskRgb : 0));
  EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), objects + 2);
}

// The up face of a 200 x 25 button: the up template stretched, the caption
// black on it, and on the screen as drawn.
RgbPicture ExpectUpFace(ucCustomButton& button) {
  const RgbPicture upFace = button.RenderFace();
  EXPECT_EQ(upFace.width, 200);
  if (upFace.width != 200) return upFace;
  const RgbPicture upTemplate = *EmbeddedRgbPicture(IDR_BUTTON_UP_BMP);
  const RgbPicture bare = ComposeNineSlice(upTemplate, ButtonFaceSlices(200, 25), 200, 25);
  int caption = 0, other = 0;
  for (size_t i = 0; i < bare.pixels.size(); ++i)
    if (upFace.pixels[i] != bare.pixels[i]) (upFace.pixels[i] < 0x404040 ? caption : other) += 1;
  EXPECT_GT(caption, 15);
  EXPECT_EQ(upFace.At(0, 0), bare.At(0, 0));
  EXPECT_EQ(upFace.At(199, 24), bare.At(199, 24));
  // What is on the screen is that face.
  {
    const WindowDc dc = GetWindowDc(button.hwnd());
    const COLORREF corner = ::GetPixel(dc.get().dc, 3, 12);
    const uint32_t expected = upFace.At(3, 12);
    EXPECT_EQ(corner, RGB(expected >> 16, expected >> 8 & 0xFF, expected & 0xFF));
  }
  return upFace;
}

TEST(PushButton, LooksAndEventsWithRealClicks) {
  const UniqueWindow host = MakeHost(100, 100, 400, 200);
  std::vector<std::string> events;
  ButtonEvents links;
  links.mouseDown = [&](int b, int, int x, int y) {
    events.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  links.mouseUp = [&](int b, int, int, int) { events.push_back("up " + std::to_string(b)); };
  ucCustomButton button(links);
  ASSERT_TRUE(button.Create(host.get(), 20, 30, 200, 25, "Apply"));
  test::PumpFor(50ms);
  const RgbPicture upFace = ExpectUpFace(button);
  ASSERT_EQ(upFace.width, 200);
  // A real press shows the down look and tells the container.
  const POINT on = ScreenOf(button.hwnd(), 50, 12);
  test::MovePointer(on);
  test::PressButton(1);
  EXPECT_EQ(button.CurrentLook(), ucCustomButton::Look::kDown);
  EXPECT_EQ(events, std::vector<std::string>{"down 1 50,12"});
  EXPECT_FALSE(button.RenderFace() == upFace);
  // A new caption while pressed: the up look.
  button.SetCaption("Applied");
  EXPECT_EQ(button.CurrentLook(), ucCustomButton::Look::kUp);
  test::ReleaseButton(1);
  EXPECT_EQ(events.back(), "up 1");
  EXPECT_EQ(button.CurrentLook(), ucCustomButton::Look::kUp);
  // The right button is told as 2.
  test::Click(on, 2);
  EXPECT_EQ(events.size(), 4u);
  EXPECT_EQ(events[2].substr(0, 6), "down 2");
  // Disabled: grey text, the disabled face, and no events.
  button.SetEnabled(false);
  EXPECT_EQ(button.ForeColor(), RGB(196, 195, 191));
  EXPECT_EQ(button.CurrentLook(), ucCustomButton::Look::kDisabled);
  const RgbPicture greyFace = button.RenderFace();
  int grey = 0;
  for (uint32_t p : greyFace.pixels) grey += p == 0xC4C3BF;
  EXPECT_GT(grey, 10);
  test::Click(on);
  EXPECT_EQ(events.size(), 4u);
  button.SetEnabled(true);
  EXPECT_EQ(button.ForeColor(), RGB(0, 0, 0));
  test::Click(on);
  EXPECT_EQ(events.size(), 6u);
}

class SpinBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = MakeHost(100, 100, 300, 150);
    SpinEvents links;
    links.change = [this] { events.push_back("Change"); };
    links.upClick = [this] { events.push_back("UpClick"); };
    links.downClick = [this] { events.push_back("DownClick"); };
    box = std::make_unique<UpDownBox>(links);
    ASSERT_TRUE(box->Create(host.get(), 20, 20, 80, 22));
    box->SetTimerSeam([this](int ms) { timer.push_back(ms); });
    test::PumpFor(50ms);
  }
  POINT Arrow(bool up) {
    const RECT r = up ? box->UpArrow() : box->DownArrow();
    return ScreenOf(box->hwnd(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void Tick() { ::SendMessageW(box->hwnd(), WM_TIMER, UpDownBox::kRepeatTimerId, 0); }
  std::string FieldText() {
    wchar_t text[64] = {};
    ::GetWindowTextW(box->Field(), text, 64);
    return Utf8(text);
  }

  UniqueWindow host;
  std::unique_ptr<UpDownBox> box;
  std::vector<std::string> events;
  std::vector<int> timer;
};

TEST_F(SpinBoxTest, HeldArrowsStepRepeatAndStopAtTheLimits) {
  // The repeat timing comes from the system's keyboard settings.
  int delay = 0, speed = 0;
  ::SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &delay, 0);
  ::SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0);
  EXPECT_EQ(box->FirstDelay(), delay * 250 + 250);
  EXPECT_EQ(box->RepeatInterval(), RepeatIntervalFor(speed));
  // Layout: the arrows share a strip one scroll arrow wide at the right.
  RECT client;
  ::GetClientRect(box->hwnd(), &client);
  EXPECT_EQ(box->UpArrow().right, client.right);
  EXPECT_EQ(box->UpArrow().right - box->UpArrow().left, ::GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(box->DownArrow().top, client.bottom / 2);

  box->SetValue(99);
  EXPECT_EQ(FieldText(), "99");
  events.clear();
  test::MovePointer(Arrow(true));
  test::PressButton(1);
  EXPECT_EQ(box->Value(), 100);
  EXPECT_EQ(FieldText(), "100");
  EXPECT_EQ(box->Pressed(), SpinBoxModel::Arrow::kUp);
  EXPECT_EQ(timer, (std::vector<int>{box->FirstDelay(), box->RepeatInterval()}));
  for (int i = 0; i < 4; ++i) Tick();  // held at the limit: nothing
  EXPECT_EQ(box->Value(), 100);
  EXPECT_EQ(events, std::vector<std::string>{"Change"});
  test::ReleaseButton(1);
  EXPECT_EQ(events, (std::vector<std::string>{"Change", "UpClick"}));
  EXPECT_EQ(timer.back(), 0);

  // The down arrow held: a step at once and one every tick.
  box->SetValue(50);
  events.clear();
  test::MovePointer(Arrow(false));
  test::PressButton(1);
  Tick();
  Tick();
  Tick();
  EXPECT_EQ(box->Value(), 46);
  test::ReleaseButton(1);
  EXPECT_EQ(events, (std::vector<std::string>{"Change", "Change", "Change", "Change", "DownClick"}));
  // A tick after the release changes nothing.
  Tick();
  EXPECT_EQ(box->Value(), 46);
  // Value set beyond Max shows Max.
  box->SetMax(200);
  box->SetValue(500);
  EXPECT_EQ(FieldText(), "200");
  // Disabled: the arrows take no press.
  box->SetEnabled(false);
  test::Click(Arrow(true));
  EXPECT_EQ(box->Value(), 200);
}

TEST_F(SpinBoxTest, KeysAndTypedAndPastedText) {
  box->SetValue(10);
  test::Click(ScreenOf(box->Field(), 5, 5));
  ASSERT_EQ(::GetFocus(), box->Field());
  events.clear();
  // Up held in the field: a press; let go: the release.
  test::KeyDown(VK_UP);
  EXPECT_EQ(box->Value(), 11);
  EXPECT_EQ(box->Pressed(), SpinBoxModel::Arrow::kUp);
  Tick();
  EXPECT_EQ(box->Value(), 12);
  test::KeyUp(VK_UP);
  EXPECT_EQ(box->Pressed(), SpinBoxModel::Arrow::kNone);
  EXPECT_EQ(events, (std::vector<std::string>{"Change", "Change", "UpClick"}));
  test::PressKey(VK_DOWN);
  EXPECT_EQ(box->Value(), 11);
  EXPECT_EQ(events.back(), "DownClick");
  // Typing: letters are dropped, digits and "-" kept (the text is selected,
  // so the first key replaces it).
  events.clear();
  test::TypeText(L"4a2b");
  EXPECT_EQ(FieldText(), "42");
  EXPECT_EQ(box->Value(), 42);
  test::TypeText(L"0");  // 420: beyond Max, left as typed
  EXPECT_EQ(FieldText(), "420");
  EXPECT_EQ(box->Value(), 42);
  // Pasted text that is no number: 0 without Change.
  const size_t before = events.size();
  ::SetWindowTextW(box->Field(), L"abc");
  EXPECT_EQ(box->Value(), 0);
  EXPECT_EQ(events.size(), before);
}

TEST(SplashWindow, IsSkinnedAndShowsItsPictureInTheMiddle) {
  test::ScratchDir app;
  FrmWaiting splash([] { return false; }, app.path());
  ASSERT_TRUE(splash.Show());
  test::PumpFor(100ms);
  const RECT place = WindowPlace(splash.hwnd());
  EXPECT_EQ(place.right - place.left, FrmWaiting::kWidth);
  EXPECT_EQ(splash.Skin().At(0, 0), kSkinMaskRgb);
  const UniqueGdiObject region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(splash.hwnd(), static_cast<HRGN>(region.get())), COMPLEXREGION);
  EXPECT_FALSE(::PtInRegion(static_cast<HRGN>(region.get()), 0, 0));
  // The picture's middle row as painted: not the skin's body there.
  const WindowDc dc = GetWindowDc(splash.hwnd());
  const COLORREF middle = ::GetPixel(dc.get().dc, FrmWaiting::kWidth / 2 - 100, FrmWaiting::kHeight / 2);
  const uint32_t body = splash.Skin().At(FrmWaiting::kWidth / 2 - 100, FrmWaiting::kHeight / 2);
  EXPECT_NE(middle, RGB(body >> 16, body >> 8 & 0xFF, body & 0xFF));
  EXPECT_TRUE(test::FileExists(app.File("Skintemp.bmp")));
}

}  // namespace
}  // namespace velmora
