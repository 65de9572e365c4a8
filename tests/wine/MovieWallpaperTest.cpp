// The movie mode of the background window, in this process, in a scratch
// application folder: which file plays, how the settings reach the player
// control, and that the control plays and stops.
#include "settings/IniFile.h"
#include "startup/DesktopSession.h"
#include "player/swf/SwfWriter.h"
#include "tests/wine/DesktopFixture.h"
#include "tests/wine/TestMovies.h"
#include "tests/wine/TestSupport.h"
#include "wallpaper/FrmShortcutBG.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kOpaqueRed = 0xFFFF0000, kOpaqueWhite = 0xFFFFFFFF, kOpaqueBlue = 0xFF0000FF;

// A 400 x 300 movie: a red square in the middle of a green stage, ten frames.
std::string SquareMovie() {
  swf::MovieWriter movie({0, 400 * 20, 0, 300 * 20}, 30);
  swf::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({0, 255, 0});
  swf::ShapeBuilder square;
  square.SelectStyles(0, square.AddSolidFill({255, 0, 0}), 0);
  square.Rectangle({150 * 20, 250 * 20, 100 * 20, 200 * 20});
  t.DefineShape(1, square);
  swf::PlaceObject place;
  place.depth = 1;
  place.hasCharacter = true;
  place.characterId = 1;
  t.Place(place);
  for (int i = 0; i < 10; ++i) t.ShowFrame();
  swf::Bytes bytes = movie.Finish(swf::Compression::kZlib);
  return std::string(bytes.begin(), bytes.end());
}

class MovieWallpaperTest : public test::ProgramFolderTest {
 protected:
  void SetUp() override {
    ::CreateDirectoryA(app.File("Flashs").c_str(), nullptr);
    test::WriteFileBytes(app.File("Flashs\\a.swf"), SquareMovie());
    Set("MAIN", "WallInx", "1");
  }
  bool Start() { return StartSession(); }
  uint32_t FramePixel(int x, int y) { return bg->DesktopFlash().Frame().Row(y)[x]; }
  int FrameWidth() { return bg->DesktopFlash().Frame().width; }
  int FrameHeight() { return bg->DesktopFlash().Frame().height; }
  // Plays `movie`, a small square moving: each frame reaches the window's
  // surface as it is drawn, and only the part that changed is sent.
  void ExpectEachFrameSentAsDrawn(const std::string& movie);

  test::ScratchDir elsewhere;
};

void MovieWallpaperTest::ExpectEachFrameSentAsDrawn(const std::string& movie) {
  test::WriteFileBytes(app.File("Flashs\\moving.swf"), movie);
  Set("FLASH", "CurFlash", "moving.swf|flashs*");
  ASSERT_TRUE(Start());
  MoviePlayerWindow& flash = bg->DesktopFlash();
  ASSERT_TRUE(test::PumpUntil([&] { return flash.FramesRun() >= 5; }, 5s));
  // Sent to the window with each frame, not left for a later paint: what
  // the window's surface shows is the frame just drawn, over a grid.
  for (int look = 0; look < 3; ++look) {
    const uint64_t painted = flash.Costs().painted;
    ASSERT_TRUE(test::PumpUntil([&] { return flash.Costs().painted > painted; }, 3s));
    const swf::Canvas& frame = flash.Frame();
    const WindowDc dc = GetWindowDc(flash.hwnd());
    int same = 0, looked = 0;
    for (int y = 5; y < frame.height; y += frame.height / 9)
      for (int x = 5; x < frame.width; x += frame.width / 13) {
        const uint32_t p = frame.Row(y)[x];
        same += ::GetPixel(dc.get().dc, x, y) == RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        ++looked;
      }
    EXPECT_EQ(same, looked) << look;
  }
  // Of a small square moving, only the part that changed is sent.
  const FrameCosts& costs = flash.Costs();
  ASSERT_GT(costs.painted, 2u);
  const double perPaint = static_cast<double>(costs.paintedPixels) / static_cast<double>(costs.painted);
  EXPECT_LT(perPaint, 0.5 * FrameWidth() * FrameHeight());
  EXPECT_GE(costs.frames + 1, costs.painted);  // at most one paint a frame, and the first
}

TEST_F(MovieWallpaperTest, ProgramFolderMoviePlaysFilledIntoTheWindow) {
  Set("FLASH", "CurFlash", "a.swf|flashs*");
  ASSERT_TRUE(Start());
  EXPECT_EQ(bg->MoviePath(), app.path() + "\\Flashs\\a.swf");
  MoviePlayerWindow& flash = bg->DesktopFlash();
  EXPECT_TRUE(::IsWindowVisible(flash.hwnd()));
  EXPECT_TRUE(flash.MovieLoaded());
  EXPECT_TRUE(flash.IsPlaying());
  RECT client{}, control{};
  ::GetClientRect(bg->hwnd(), &client);
  ::GetClientRect(flash.hwnd(), &control);
  EXPECT_EQ(control.right, client.right);
  EXPECT_EQ(control.bottom, client.bottom);
  // The frames follow the movie's clock.
  const uint32_t before = flash.FramesRun();
  ASSERT_TRUE(test::PumpUntil([&] { return flash.FramesRun() >= before + 5; }, 5s));
  // Shown whole and centred; the white of BackgroundColor's default replaces
  // the movie's green.
  EXPECT_EQ(FramePixel(FrameWidth() / 2, FrameHeight() / 2), kOpaqueRed);
  EXPECT_EQ(FramePixel(2, FrameHeight() / 2), kOpaqueWhite);
}

TEST_F(MovieWallpaperTest, EachFrameReachesTheWindowAsItIsDrawnAndOnlyWhatChanged) {
  // A square alone: its frames are drawn whole and compared with what the
  // screen shows.
  ExpectEachFrameSentAsDrawn(test::MovingSquareMovie(false));
  EXPECT_GT(bg->DesktopFlash().Costs().compared, 2u);
}

TEST_F(MovieWallpaperTest, OverAStillBackdropWhatThePlayerDrewOverIsSent) {
  // The player draws over its last picture and knows where: once it holds
  // the backdrop, no frame is compared with what the screen shows.
  ExpectEachFrameSentAsDrawn(test::MovingSquareMovie(true));
  const FrameCosts& costs = bg->DesktopFlash().Costs();
  const uint64_t frames = costs.frames, compared = costs.compared;
  ASSERT_TRUE(test::PumpUntil([&] { return costs.frames >= frames + 5; }, 3s));
  EXPECT_EQ(costs.compared, compared);
}

TEST_F(MovieWallpaperTest, FolderLocationIsPrefixedAndSettingsReachTheControl) {
  test::WriteFileBytes(elsewhere.File("b.swf"), SquareMovie());
  Set("FLASH", "CurFlash", "b.swf|" + elsewhere.path() + "\\*");
  Set("FLASH", "BackgroundColor", "16711680");  // 0x00FF0000: blue as BGR
  Set("FLASH", "Moviesize", "2");
  Set("FLASH", "Quality", "0");
  ASSERT_TRUE(Start());
  EXPECT_EQ(bg->MoviePath(), elsewhere.path() + "\\b.swf");
  MoviePlayerWindow& flash = bg->DesktopFlash();
  EXPECT_EQ(flash.ScaleMode(), 2);
  EXPECT_EQ(flash.Quality(), 0);
  EXPECT_EQ(flash.BackgroundColor(), 0xFF0000u);
  // Exact fit stretches the stage over the window: its corner is the
  // background colour, its middle the square.
  EXPECT_EQ(FramePixel(1, 1), kOpaqueBlue);
  EXPECT_EQ(FramePixel(FrameWidth() / 2, FrameHeight() / 2), kOpaqueRed);
}

TEST_F(MovieWallpaperTest, ALowerDrawingRateKeepsTheMoviesClock) {
  // At most 4 pictures a second of a 30 frames a second movie: each tick
  // runs the frames owed since the last, so the timeline keeps its speed.
  Set("FLASH", "CurFlash", "a.swf|flashs*");
  Set("FLASH", "MaxFrameRate", "4");
  ASSERT_TRUE(Start());
  MoviePlayerWindow& flash = bg->DesktopFlash();
  EXPECT_EQ(flash.MaxFrameRate(), 4);
  EXPECT_DOUBLE_EQ(flash.TimerPeriodMs(), 250);
  const uint32_t before = flash.FramesRun();
  // One frame a tick would take five seconds for twenty frames.
  EXPECT_TRUE(test::PumpUntil([&] { return flash.FramesRun() >= before + 20; }, 3s));
  // A value out of range is held to the range.
  flash.SetMaxFrameRate(100000);
  EXPECT_EQ(flash.MaxFrameRate(), 120);
  EXPECT_DOUBLE_EQ(flash.TimerPeriodMs(), 1000.0 / 30) << "the movie's own rate is slower";
}

TEST_F(MovieWallpaperTest, UnusableSettingsKeepWhatWasThere) {
  Set("FLASH", "CurFlash", "a.swf|flashs*");
  ASSERT_TRUE(Start());
  MoviePlayerWindow& flash = bg->DesktopFlash();
  Set("FLASH", "CurFlash", "no-location-here*");
  Set("FLASH", "Moviesize", "wide");
  Set("FLASH", "Quality", "best");
  bg->ApplyWallpaperMode();
  EXPECT_EQ(bg->MoviePath(), app.path() + "\\Flashs\\a.swf");  // path could not be built
  EXPECT_EQ(flash.ScaleMode(), 0);
  EXPECT_EQ(flash.Quality(), 1);
  EXPECT_TRUE(flash.IsPlaying());
}

TEST_F(MovieWallpaperTest, MissingMovieShowsOnlyTheBackgroundColour) {
  Set("FLASH", "CurFlash", "gone.swf|flashs*");
  Set("FLASH", "BackgroundColor", "255");  // red as BGR
  ASSERT_TRUE(Start());
  MoviePlayerWindow& flash = bg->DesktopFlash();
  EXPECT_FALSE(flash.MovieLoaded());
  EXPECT_FALSE(flash.IsPlaying());
  EXPECT_EQ(FramePixel(FrameWidth() / 2, FrameHeight() / 2), kOpaqueRed);
}

TEST_F(MovieWallpaperTest, SlideshowStopsAndHidesTheMovie) {
  Set("FLASH", "CurFlash", "a.swf|flashs*");
  ASSERT_TRUE(Start());
  MoviePlayerWindow& flash = bg->DesktopFlash();
  Set("MAIN", "WallInx", "2");
  bg->ApplyWallpaperMode();
  EXPECT_FALSE(flash.IsPlaying());
  EXPECT_FALSE(::IsWindowVisible(flash.hwnd()));
  const uint32_t frames = flash.FramesRun();
  test::PumpFor(300ms);
  EXPECT_EQ(flash.FramesRun(), frames);  // no clock while stopped
  // Back to the movie: it restarts from the file named now.
  Set("MAIN", "WallInx", "1");
  bg->ApplyWallpaperMode();
  EXPECT_TRUE(flash.IsPlaying());
  EXPECT_TRUE(::IsWindowVisible(flash.hwnd()));
  EXPECT_LE(flash.FramesRun(), 2u);
}

}  // namespace
}  // namespace velmora
