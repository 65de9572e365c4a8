// The parser reads what our writer writes, and survives what it should not
// have to read.
#include "player/MoviePlayback.h"
#include "player/swf/SwfParser.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

namespace velmora::swf {
namespace {

using test::PlaceAt;
using test::SolidRect;

// Three frames: a red square placed, moved, then removed; a two-frame
// sprite; a label and a stop on the last frame.
Bytes SampleMovie(Compression compression) {
  MovieWriter movie({0, 400 * 20, 0, 300 * 20}, 24.5);
  TagWriter& t = movie.Timeline();
  t.SetBackgroundColor({10, 20, 30});
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 2000, 2000));
  TagWriter sprite;
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
  t.DoAction(ActionBuilder().Stop());
  t.ShowFrame();
  return movie.Finish(compression);
}

TEST(MovieParser, ReadsHeaderDictionaryAndFrames) {
  for (auto compression : {Compression::kNone, Compression::kZlib}) {
    Bytes bytes = SampleMovie(compression);
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
    ASSERT_EQ(m.timeline.frames[2].scripts.size(), 1u);
    EXPECT_EQ(m.timeline.frames[2].scripts[0], (std::vector<uint8_t>{action::kStop, action::kEnd}));
  }
}

// Scripts are kept as the file holds them: frame scripts, a sprite's
// initialisation actions, clip actions with their events (a key press with
// its key code) and the export names.
TEST(MovieParser, ScriptsAreKeptAsRawRecordsForTheEngine) {
  for (uint8_t version : {6, 8}) {
    SCOPED_TRACE(static_cast<int>(version));
    MovieWriter movie({0, 2000, 0, 2000}, 12, version);
    TagWriter& t = movie.Timeline();
    t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 200, 200));
    TagWriter sprite;
    sprite.Place(PlaceAt(1, 1));
    sprite.DoInitAction(2, {action::kPlay, action::kEnd});  // inside a sprite: not run, not kept
    sprite.ShowFrame();
    t.DefineSprite(2, sprite);
    t.ExportAssets({{2, "Ball"}, {1, "square"}, {7, ""}});
    t.DoInitAction(2, {action::kStop, action::kEnd});
    PlaceObject p = PlaceAt(1, 2);
    p.clipActions = {{clipevent::kLoad | clipevent::kEnterFrame, 0, {action::kPlay, action::kEnd}},
                     {clipevent::kKeyPress, 32, {action::kStop, action::kEnd}}};
    t.Place(p);
    t.DoAction({action::kNextFrame, action::kEnd});
    t.DoAction({action::kPrevFrame, action::kEnd});
    t.ShowFrame();
    Bytes bytes = movie.Finish(Compression::kNone);
    ParseResult r = ParseMovie(bytes.data(), bytes.size());
    ASSERT_TRUE(r.ok) << r.error;
    const Movie& m = r.movie;
    EXPECT_EQ(m.exports, (std::map<std::string, uint16_t>{{"Ball", 2}, {"square", 1}}));
    const Frame& f = m.timeline.frames.at(0);
    ASSERT_EQ(f.initActions.size(), 1u);
    EXPECT_EQ(f.initActions[0].spriteId, 2);
    EXPECT_EQ(f.initActions[0].actions, (std::vector<uint8_t>{action::kStop, action::kEnd}));
    EXPECT_TRUE(m.Find(2)->sprite->frames.at(0).initActions.empty());
    ASSERT_EQ(f.scripts.size(), 2u);
    EXPECT_EQ(f.scripts[1], (std::vector<uint8_t>{action::kPrevFrame, action::kEnd}));
    const PlaceObject& placed = f.tags.at(0).place;
    ASSERT_EQ(placed.clipActions.size(), 2u);
    EXPECT_EQ(placed.clipActions[0].events, clipevent::kLoad | clipevent::kEnterFrame);
    EXPECT_EQ(placed.clipActions[0].actions, (std::vector<uint8_t>{action::kPlay, action::kEnd}));
    EXPECT_EQ(placed.clipActions[1].events, clipevent::kKeyPress);
    EXPECT_EQ(placed.clipActions[1].keyCode, 32);
    EXPECT_EQ(placed.clipActions[1].actions, (std::vector<uint8_t>{action::kStop, action::kEnd}));
    // Cut inside the second clip action's record: the first is kept, the
    // cut one is left out, and the placement stands.
    const std::vector<uint8_t> keyRecord{32, action::kStop, action::kEnd};
    auto at = std::search(bytes.begin(), bytes.end(), keyRecord.begin(), keyRecord.end());
    ASSERT_NE(at, bytes.end());
    ParseResult shortened = ParseMovie(bytes.data(), static_cast<size_t>(at - bytes.begin()) + 1);
    ASSERT_FALSE(shortened.movie.timeline.frames.empty());
    const PlaceObject& partly = shortened.movie.timeline.frames[0].tags.at(0).place;
    EXPECT_EQ(partly.characterId, 2);
    EXPECT_EQ(partly.clipActions.size(), 1u);
  }
}

// Version 5 files hold 16-bit event flags, read as such.
TEST(MovieParser, ClipEventsOfVersion5AreSixteenBits) {
  MovieWriter movie({0, 2000, 0, 2000}, 12, 5);
  TagWriter& t = movie.Timeline();
  t.DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 200, 200));
  TagWriter sprite;
  sprite.ShowFrame();
  t.DefineSprite(2, sprite);
  // PlaceObject2 by hand: move 0, character, depth 1, id 2, clip actions.
  BitWriter w;
  w.UI8(placeflag::kHasCharacter | placeflag::kHasClipActions);
  w.UI16(1);
  w.UI16(2);
  w.UI16(0);  // reserved
  w.UI16(static_cast<uint16_t>(clipevent::kEnterFrame | clipevent::kMouseUp));  // all events
  w.UI16(static_cast<uint16_t>(clipevent::kMouseUp));
  w.UI32(2);
  w.UI8(action::kStop);
  w.UI8(action::kEnd);
  w.UI16(0);
  t.Raw(tag::kPlaceObject2, w.Data());
  t.ShowFrame();
  Bytes bytes = movie.Finish(Compression::kNone);
  ParseResult r = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(r.ok) << r.error;
  const PlaceObject& p = r.movie.timeline.frames.at(0).tags.at(0).place;
  ASSERT_EQ(p.clipActions.size(), 1u);
  EXPECT_EQ(p.clipActions[0].events, clipevent::kMouseUp);
  EXPECT_EQ(p.clipActions[0].actions, (std::vector<uint8_t>{action::kStop, action::kEnd}));
}

TEST(MovieParser, ShapeRecordsAreAbsoluteAndStylesKept) {
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  ShapeBuilder s;
  unsigned fill = s.AddSolidFill({1, 2, 3, 128});
  unsigned line = s.AddLineStyle(40, {9, 8, 7});
  s.SelectStyles(0, fill, line);
  s.MoveTo(100, 100);
  s.LineTo(500, 100);
  s.CurveTo(600, 300, 500, 500);
  s.LineTo(100, 100);
  movie.Timeline().DefineShape(1, s);
  movie.Timeline().ShowFrame();
  Bytes bytes = movie.Finish(Compression::kNone);
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

// The writer and the parser share their types: a placement with every field
// the writer writes reads back as itself (the matrix to the file's 1/65536).
TEST(MovieParser, ReadsBackEveryPlacementFieldTheWriterWrites) {
  PlaceObject written = PlaceAt(7, 1);
  written.matrix = Matrix::ScaleRotateTranslate(1.5, 0.75, 0.5, 120, -40);
  written.hasColorTransform = true;
  written.colorTransform = ColorTransform::Alpha(0.25);
  written.colorTransform.gMult = 300;
  written.colorTransform.rAdd = -30;
  written.hasRatio = true;
  written.ratio = 9;
  written.hasName = true;
  written.name = "clip";
  written.hasClipDepth = true;
  written.clipDepth = 12;
  written.hasFilters = true;
  written.filters = {Filter::Blur(4.5, 2, 3)};
  written.hasBlendMode = true;
  written.blendMode = BlendMode::Multiply;
  written.hasOpaqueBackground = true;
  written.opaqueBackground = {1, 2, 3, 255};
  MovieWriter movie({0, 2000, 0, 2000}, 12);
  movie.Timeline().DefineShape(1, SolidRect({255, 0, 0}, 0, 0, 500, 500));
  movie.Timeline().Place(written);
  movie.Timeline().ShowFrame();
  const Bytes bytes = movie.Finish(Compression::kNone);

  ParseResult r = ParseMovie(bytes.data(), bytes.size());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_FALSE(r.partial) << r.error;
  ASSERT_EQ(r.movie.timeline.frames.size(), 1u);
  ASSERT_EQ(r.movie.timeline.frames[0].tags.size(), 1u);
  const PlaceObject& read = r.movie.timeline.frames[0].tags[0].place;
  EXPECT_EQ(read.depth, 7);
  EXPECT_FALSE(read.move);
  EXPECT_TRUE(read.hasCharacter && read.hasMatrix && read.hasColorTransform && read.hasRatio &&
              read.hasName && read.hasClipDepth && read.hasFilters && read.hasBlendMode &&
              read.hasOpaqueBackground);
  EXPECT_FALSE(read.hasVisible);
  EXPECT_EQ(read.characterId, 1);
  const double fixed = 1 / 65536.0;
  EXPECT_NEAR(read.matrix.a, written.matrix.a, fixed);
  EXPECT_NEAR(read.matrix.b, written.matrix.b, fixed);
  EXPECT_NEAR(read.matrix.c, written.matrix.c, fixed);
  EXPECT_NEAR(read.matrix.d, written.matrix.d, fixed);
  EXPECT_EQ(read.matrix.tx, 120);
  EXPECT_EQ(read.matrix.ty, -40);
  EXPECT_EQ(read.colorTransform.aMult, 64);
  EXPECT_EQ(read.colorTransform.gMult, 300);
  EXPECT_EQ(read.colorTransform.rAdd, -30);
  EXPECT_EQ(read.colorTransform.rMult, 256);
  EXPECT_EQ(read.ratio, 9);
  EXPECT_EQ(read.name, "clip");
  EXPECT_EQ(read.clipDepth, 12);
  ASSERT_EQ(read.filters.size(), 1u);
  EXPECT_EQ(read.filters[0].kind, FilterKind::Blur);
  EXPECT_DOUBLE_EQ(read.filters[0].blurX, 4.5);
  EXPECT_DOUBLE_EQ(read.filters[0].blurY, 2);
  EXPECT_EQ(read.filters[0].passes, 3);
  EXPECT_EQ(read.blendMode, BlendMode::Multiply);
  EXPECT_EQ(read.opaqueBackground, (Rgba{1, 2, 3, 255}));
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
  for (auto compression : {Compression::kNone, Compression::kZlib}) {
    Bytes bytes = SampleMovie(compression);
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
  Bytes original = SampleMovie(Compression::kNone);
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    Bytes bytes = original;
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
