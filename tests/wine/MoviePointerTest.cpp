// The pointer reaching the movie through the icon layer, with real input: a
// click on empty desktop over a movie's button runs its release action, a
// click on an item stays the item's, and MouseToMovie off keeps the movie
// out of it.
#include "player/script/ActionAssembler.h"
#include "player/swf/SwfWriter.h"
#include "player/swf/TagCodes.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/RealInput.h"
#include "tests/wine/TestSupport.h"
#include "wallpaper/FrmShortcutBG.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kOpaqueRed = 0xFFFF0000, kOpaqueBlue = 0xFF0000FF;

swf::ShapeBuilder Rect(swf::Rgba colour, int32_t w, int32_t h) {
  swf::ShapeBuilder s;
  s.SelectStyles(0, s.AddSolidFill(colour), 0);
  s.Rectangle({0, w, 0, h});
  return s;
}

// A 400 x 300 movie stopped at its first frame: a red button over the whole
// stage whose release goes to the second frame, which a blue rectangle
// covers.
std::string ButtonMovie() {
  swf::MovieWriter movie({0, 400 * 20, 0, 300 * 20}, 30);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 255, 0});
  t.DefineShape(1, Rect({255, 0, 0}, 400 * 20, 300 * 20));
  t.DefineShape(2, Rect({0, 0, 255}, 400 * 20, 300 * 20));
  swf::Button button;
  swf::ButtonRecord record;
  record.characterId = 1;
  record.depth = 1;
  record.up = record.over = record.down = record.hitTest = true;
  button.records = {record};
  avm1::ActionAssembler release;
  release.GotoFrame(1);
  button.conditions = {{swf::buttoncond::kOverDownToOverUp, release.Bytes()}};
  t.DefineButton2(10, button);
  swf::PlaceObject place;
  place.depth = 1;
  place.hasCharacter = true;
  place.characterId = 10;
  t.Place(place);
  avm1::ActionAssembler stop;
  stop.Do(avm1::Op::Stop);
  t.DoAction(stop.Bytes());
  t.ShowFrame();
  place.depth = 2;
  place.characterId = 2;
  t.Place(place);
  t.ShowFrame();
  const swf::Bytes bytes = movie.Finish(swf::Compression::kZlib);
  return std::string(bytes.begin(), bytes.end());
}

class MoviePointerTest : public test::ScratchDesktopTest {
 protected:
  FrmShortcut& Play() {
    ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
    test::WriteFileBytes(app.File("Flashs\\button.swf"), ButtonMovie());
    Set("MAIN", "WallInx", "1");
    Set("FLASH", "CurFlash", "button.swf|flashs*");
    FrmShortcut& layer = Start();
    EXPECT_TRUE(bg->DesktopFlash().MovieLoaded());
    FramesLater(3);
    return layer;
  }
  // The middle of the movie control on the screen (empty desktop there).
  POINT Middle() {
    RECT r{};
    ::GetWindowRect(bg->DesktopFlash().hwnd(), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  uint32_t MiddlePixel() {
    const swf::Canvas& frame = bg->DesktopFlash().Frame();
    return frame.Row(frame.height / 2)[frame.width / 2];
  }
  // Waits for `n` more frames of the movie's clock.
  void FramesLater(uint32_t n) {
    MoviePlayerWindow& flash = bg->DesktopFlash();
    const uint32_t before = flash.FramesRun();
    ASSERT_TRUE(test::PumpUntil([&] { return flash.FramesRun() >= before + n; }, 5s));
  }
  POINT OnItem(FrmShortcut& layer, int i) {
    const ItemPosition at = layer.Positions()[static_cast<size_t>(i)];
    POINT p{at.x + 10, at.y + 10};
    ::ClientToScreen(layer.hwnd(), &p);
    return p;
  }
};

TEST_F(MoviePointerTest, AClickOnEmptyDesktopReachesTheButtonAndOneOnAnItemDoesNot) {
  FrmShortcut& layer = Play();
  ASSERT_EQ(MiddlePixel(), kOpaqueRed);
  ASSERT_GT(layer.Positions().size(), 0u);
  // The item lies over the button too: its click stays the layer's.
  test::Click(OnItem(layer, 0));
  EXPECT_EQ(layer.SelectedIcon(), 0);
  FramesLater(3);
  EXPECT_EQ(MiddlePixel(), kOpaqueRed);
  test::Click(Middle());
  EXPECT_TRUE(test::PumpUntil([&] { return MiddlePixel() == kOpaqueBlue; }, 3s));
}

TEST_F(MoviePointerTest, MouseToMovieOffKeepsTheClickFromTheMovie) {
  Set("FLASH", "MouseToMovie", "0");
  Play();
  ASSERT_EQ(MiddlePixel(), kOpaqueRed);
  test::Click(Middle());
  FramesLater(5);
  EXPECT_EQ(MiddlePixel(), kOpaqueRed);
}

}  // namespace
}  // namespace velmora
