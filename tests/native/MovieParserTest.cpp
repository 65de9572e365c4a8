// The parser reads what our writer writes, and survives what it should not
// have to read.
#include "player/MoviePlayback.h"
#include "player/swf/SwfParser.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace velmora::swf {
namespace {

using test::PlaceAt;
using test::SolidRect;
namespace w = velmora::swfwriter;

// Three frames: a red square placed, moved, then removed; a two-frame
// sprite; a label and a stop on the last frame.
w::Bytes SampleMovie(w::Compression compression) {
  w::MovieWriter movie({0, 400 * 20, 0, 300 * 20}, 24.5);
  w::TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({10, 20, 30});
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 2000, 2000));
  w::TagWriter sprite;
  sprite.Place(PlaceAt(1, 1));
  sprite.ShowFrame();
  sprite.Remove(1);
  sprite.ShowFrame();
  t.DefineSprite(2, sprite);
  t.Place(PlaceAt(1, 1, 100, 200));
  t.Place(PlaceAt(2, 2));
  t.ShowFrame();
  t.Place(test::MoveTo(1, 300, 400));
  t.ShowFrame();
  t.Remove(1);
  t.FrameLabel("end");
  t.DoAction(w::ActionBuilder().Stop());
  t.ShowFrame();
  return movie.Finish(compression);
}

TEST(MovieParser, ReadsHeaderDictionaryAndFrames) {
  for (auto compression : {w::Compression::kNone, w::Compression::kZlib}) {
    w::Bytes bytes = SampleMovie(compression);
    ParseResult r = ParseMovie(bytes.data(), bytes.size());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.partial) << r.error;
    const Movie& m = r.movie;
    EXPECT_EQ(m.stage.Width(), 8000);
    EXPECT_EQ(m.stage.Height(), 6000);
    EXPECT_DOUBLE_EQ(m.frameRate, 24.5);
    EXPECT_EQ(m.frameCount, 3);
    EXPECT_TRUE(m.hasBackground);
    EXPECT_EQ(m.background, (Rgba{10, 20, 30, 255}));
    ASSERT_NE(m.Find(1), nullptr);
    EXPECT_EQ(m.Find(1)->kind, Character::Kind::Shape);
    ASSERT_NE(m.Find(2), nullptr);
    ASSERT_EQ(m.Find(2)->kind, Character::Kind::Sprite);
    EXPECT_EQ(m.Find(2)->sprite->frames.size(), 2u);

    ASSERT_EQ(m.timeline.frames.size(), 3u);
    const auto& first = m.timeline.frames[0].tags;
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].place.characterId, 1);
    EXPECT_DOUBLE_EQ(first[0].place.matrix.tx, 100);
    EXPECT_DOUBLE_EQ(first[0].place.matrix.ty, 200);
    const auto& second = m.timeline.frames[1].tags;
    ASSERT_EQ(second.size(), 1u);
    EXPECT_TRUE(second[0].place.move);
    EXPECT_FALSE(second[0].place.hasCharacter);
    EXPECT_EQ(m.timeline.frames[2].tags[0].kind, ControlTag::Kind::Remove);
    EXPECT_EQ(m.timeline.labels.at("end"), 2u);
    ASSERT_EQ(m.timeline.frames[2].actions.size(), 1u);
    EXPECT_EQ(m.timeline.frames[2].actions[0].kind, Action::Kind::Stop);
  }
}

TEST(MovieParser, ShapeRecordsAreAbsoluteAndStylesKept) {
  w::MovieWriter movie({0, 2000, 0, 2000}, 12);
  w::ShapeBuilder s;
  unsigned fill = s.AddSolidFill({1, 2, 3, 128});
  unsigned line = s.AddLineStyle(40, {9, 8, 7});
  s.SelectStyles(0, fill, line);
  s.MoveTo(100, 100);
  s.LineTo(500, 100);
  s.CurveTo(600, 300, 500, 500);
  s.LineTo(100, 100);
  movie.Timeline().DefineShape(1, s);
  movie.Timeline().ShowFrame();
  w::Bytes bytes = movie.Finish(w::Compression::kNone);
  ParseResult r = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(r.ok);
  const Shape& shape = *r.movie.Find(1)->shape;
  ASSERT_EQ(shape.styleTables.size(), 1u);
  EXPECT_EQ(shape.styleTables[0].fills[0].color, (Rgba{1, 2, 3, 128}));
  EXPECT_EQ(shape.styleTables[0].lines[0].width, 40);
  std::vector<ShapeRecord> edges;
  for (const auto& rec : shape.records)
    if (rec.kind != ShapeRecord::Kind::StyleChange) edges.push_back(rec);
  ASSERT_EQ(edges.size(), 3u);
  EXPECT_DOUBLE_EQ(edges[0].anchor.x, 500);
  EXPECT_EQ(edges[1].kind, ShapeRecord::Kind::Curve);
  EXPECT_DOUBLE_EQ(edges[1].control.x, 600);
  EXPECT_DOUBLE_EQ(edges[1].anchor.y, 500);
  EXPECT_DOUBLE_EQ(edges[2].anchor.x, 100);
  EXPECT_DOUBLE_EQ(edges[2].anchor.y, 100);
}

TEST(MovieParser, RefusesWhatIsNotAMovie) {
  const std::string junk = "GIF89a this is not a movie";
  ParseResult r = ParseMovie(reinterpret_cast<const uint8_t*>(junk.data()), junk.size());
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  // A header that promises 4 GiB is refused before anything is allocated.
  uint8_t huge[] = {'C', 'W', 'S', 10, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x9C};
  r = ParseMovie(huge, sizeof huge);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("256"), std::string::npos);
}

TEST(MovieParser, EveryTruncationGivesAnErrorOrAPartialMovie) {
  for (auto compression : {w::Compression::kNone, w::Compression::kZlib}) {
    w::Bytes bytes = SampleMovie(compression);
    for (size_t n = 0; n < bytes.size(); ++n) {
      ParseResult r = ParseMovie(bytes.data(), n);
      if (r.ok) {
        EXPECT_TRUE(r.partial) << "cut at " << n << " of " << bytes.size();
        EXPECT_LE(r.movie.timeline.frames.size(), 3u);
      } else {
        EXPECT_FALSE(r.error.empty());
      }
    }
  }
}

TEST(MovieParser, DamagedBytesNeverCrash) {
  w::Bytes original = SampleMovie(w::Compression::kNone);
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    w::Bytes bytes = original;
    int flips = 1 + round % 4;
    for (int i = 0; i < flips; ++i) bytes[8 + random() % (bytes.size() - 8)] = static_cast<uint8_t>(random());
    ParseResult r = ParseMovie(bytes.data(), bytes.size());
    EXPECT_TRUE(r.ok);  // the header is intact
  }
}

TEST(MovieParser, InputsThatOnceBrokeTheProgramPlayCleanly) {
  // Run under AddressSanitizer and UBSan: each finding is parsed, played
  // and drawn at both qualities without a report.
  const std::filesystem::path findings = VELMORA_SOURCE_DIR "/../shared/findings";
  if (!std::filesystem::is_directory(findings)) GTEST_SKIP() << "no findings beside the project";
  int played = 0;
  for (const auto& entry : std::filesystem::directory_iterator(findings)) {
    if (entry.path().extension() != ".swf") continue;
    MoviePlayback playback;
    playback.Load(entry.path().string());
    Canvas canvas;
    canvas.Resize(160, 120);
    for (int frame = 0; frame < 6; ++frame) {
      playback.Step();
      playback.Draw(canvas, ScaleMode::ShowAll, frame % 2 == 0);
    }
    ++played;
  }
  EXPECT_GT(played, 0);
}

}  // namespace
}  // namespace velmora::swf
