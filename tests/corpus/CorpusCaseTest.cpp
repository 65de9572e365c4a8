// The corpus check: how it reads test.toml, and that a folder passes only
// when every picture it names was compared at its frame.
#include "player/render/CanvasPng.h"
#include "tests/corpus/CaseRun.h"
#include "tests/corpus/CorpusCase.h"
#include "tests/native/MovieFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace velmora::corpus {
namespace {

namespace fs = std::filesystem;
namespace w = velmora::swf;

// The comparisons one a line: name@frame, then tolerance/max_outliers of each check.
std::string Summary(const CorpusCase& c) {
  std::string text;
  for (const Comparison& cmp : c.comparisons) {
    text += cmp.name + "@" + std::to_string(cmp.frame);
    for (const Check& check : cmp.checks)
      text += " " + std::to_string(check.tolerance) + "/" + std::to_string(check.maxOutliers);
    text += "\n";
  }
  return text;
}

std::string Reasons(const CorpusCase& c) {
  std::string text;
  for (const std::string& reason : c.uncheckable) text += reason + "\n";
  return text;
}

// The same comparisons and options written as table headers, as dotted
// keys, as inline tables and with quoted keys.
std::vector<const char*> OneCaseWrittenFourWays() {
  const char* tableHeaders = R"(# comparisons written as table headers
num_ticks = 3
[image_comparisons."output.01"]
trigger = 1
tolerance = 4
max_outliers = 7
[image_comparisons."output.02"]
trigger = 2
[[image_comparisons."output.02".checks]]
max_outliers = 30
[[image_comparisons."output.02".checks]]
tolerance = 64
[image_comparisons.last]
[player_options]
with_renderer = { optional = false, quality = "high" }
viewport_dimensions = { width = 200, height = 100, scale_factor = 1 }
)";
  const char* dottedKeys = R"(num_ticks = 3
image_comparisons."output.01".trigger = 1
image_comparisons."output.01".tolerance = 4
image_comparisons."output.01".max_outliers = 7
image_comparisons."output.02".trigger = 2
image_comparisons.last.trigger = "last_frame"
player_options.with_renderer.quality = "high"
player_options.viewport_dimensions.width = 200
player_options.viewport_dimensions.height = 100
player_options.viewport_dimensions.scale_factor = 1.0

[[image_comparisons."output.02".checks]]
max_outliers = 30

[[image_comparisons."output.02".checks]]
tolerance = 64
)";
  const char* inlineTables = R"(num_frames = 3
image_comparisons = { "output.01" = { trigger = 1, tolerance = 4, max_outliers = 7 }, "output.02" = { trigger = 2, checks = [{ max_outliers = 30 }, { tolerance = 64 }] }, last = {} }
player_options = { with_renderer = { quality = "high" }, viewport_dimensions = { width = 200, height = 100 } }
)";
  const char* quotedKeys = R"("num_ticks" = 3
["image_comparisons"."output.01"]
"trigger" = 1
'tolerance' = 4
"max_outliers" = 7
[ image_comparisons . 'output.02' ]
trigger = 2
checks = [{ "max_outliers" = 30 }, { 'tolerance' = 64 }]
["image_comparisons".'last']
["player_options"]
"with_renderer" = { 'quality' = 'high' }
"viewport_dimensions".width = 200
"viewport_dimensions"."height" = 100
)";
  return {tableHeaders, dottedKeys, inlineTables, quotedKeys};
}

TEST(CorpusToml, EveryWayOfWritingTheKeysGivesTheSameComparisons) {
  for (const char* text : OneCaseWrittenFourWays()) {
    SCOPED_TRACE(text);
    const CorpusCase c = ParseCaseToml(text);
    EXPECT_EQ(Reasons(c), "");
    EXPECT_EQ(Summary(c), "output.01@1 4/7\noutput.02@2 0/30 64/0\nlast@3 0/0\n");
    EXPECT_EQ(c.framesRun, 3u);
    EXPECT_TRUE(c.highQuality);
    EXPECT_EQ(c.viewportWidth, 200);
    EXPECT_EQ(c.viewportHeight, 100);
  }
  // A dotted name not in quotes is a table inside a table: not a picture.
  const CorpusCase bare = ParseCaseToml(
      "num_ticks = 1\nimage_comparisons.output.01.trigger = 1\n[player_options]\nwith_renderer = { quality = \"low\" }\n");
  EXPECT_NE(Reasons(bare).find("unknown key image_comparisons.\"output\".01"), std::string::npos) << Reasons(bare);
}

TEST(CorpusToml, CaptureFramesFollowTheFrameOrTickCountAndTheTriggers) {
  const std::string options = "[player_options]\nwith_renderer = { quality = \"low\" }\n";
  struct Example {
    std::string toml, frames;
  } examples[] = {
      // One frame runs per tick; pictures come in the order of their frames.
      {"num_ticks = 8\nimage_comparisons.\"b\".trigger = 8\nimage_comparisons.\"a\".trigger = 3\n"
       "image_comparisons.\"c\".trigger = 1\n",
       "c@1 0/0\na@3 0/0\nb@8 0/0\n"},
      {"num_ticks = 1\nimage_comparisons.\"output\".trigger = 1\n", "output@1 0/0\n"},
      {"num_ticks = 5\n[image_comparisons.output]\ntolerance = 2\n", "output@5 2/0\n"},
      {"num_frames = 10\n[image_comparisons.output]\n", "output@10 0/0\n"},
      {"num_frames = 10\n[image_comparisons.end]\ntrigger = \"last_frame\"\n[image_comparisons.mid]\ntrigger = 4\n",
       "mid@4 0/0\nend@10 0/0\n"},
  };
  for (const Example& example : examples) {
    SCOPED_TRACE(example.toml);
    const CorpusCase c = ParseCaseToml(example.toml + options);
    EXPECT_EQ(Reasons(c), "");
    EXPECT_EQ(Summary(c), example.frames);
  }
  EXPECT_EQ(ParseCaseToml("num_ticks = 7\n[image_comparisons.x]\n" + options).framesRun, 7u);
}

// A folder with the given comparisons (after the frame count) and player options.
std::string Folder(const std::string& comparisons, const std::string& options = "with_renderer = { quality = \"low\" }",
                   const std::string& count = "num_frames = 2") {
  return count + "\n" + comparisons + "\n[player_options]\n" + options + "\n";
}

TEST(CorpusToml, WhatTheCheckerCannotRunMakesTheFolderFailWithItsReason) {
  struct Example {
    std::string toml, reason;
  } examples[] = {
      {Folder("[image_comparisons.output]\ntrigger = \"fs_command\""), "fs_command"},
      {Folder("[image_comparisons.output]\ntrigger = \"on_click\""), "unknown trigger \"on_click\""},
      {Folder("[image_comparisons.output]\ntrigger = 1.5"), "unknown trigger 1.5"},
      {Folder("[image_comparisons.output]\ntrigger = 3"), "trigger = 3: not a whole number from 1 to 2"},
      {Folder("[image_comparisons.output]\ntrigger = 0"), "trigger = 0"},
      {Folder("[image_comparisons.output]", "with_renderer = { quality = \"low\" }", "num_frames = 2\nnum_ticks = 2"),
       "both num_frames and num_ticks"},
      {Folder("[image_comparisons.output]", "with_renderer = { quality = \"low\" }", ""), "neither num_frames"},
      {Folder("[image_comparisons.output]", "with_renderer = { quality = \"low\" }", "num_ticks = 2\ntick_rate = 5.0"),
       "unknown key tick_rate"},
      {Folder("[[image_comparisons.output.checks]]\ntolerance = 1\nfilter = 'os = \"linux\"'"),
       "unknown key image_comparisons.\"output\".checks.filter"},
      {Folder("[image_comparisons.output]\nregion = [0, 0, 10, 10]"), "unknown key image_comparisons.\"output\".region"},
      {Folder("[image_comparisons.output]\ntolerance = \"5\""), "tolerance = \"5\""},
      {Folder("[image_comparisons.output]\ntolerance = 300"), "tolerance = 300"},
      {Folder("[image_comparisons.output]\nmax_outliers = -1"), "max_outliers = -1"},
      {Folder("[image_comparisons.output]\ntolerance = 2\n[[image_comparisons.output.checks]]\ntolerance = 1"),
       "beside a checks list"},
      {Folder("[image_comparisons.output]\nchecks = []"), "not a list of tables"},
      {Folder("[image_comparisons.output]", "with_renderer = { quality = \"medium\" }"), "quality \"medium\""},
      {Folder("[image_comparisons.output]", "with_renderer = { optional = true }"), "has no quality"},
      {Folder("[image_comparisons.output]", "with_renderer = { quality = \"low\", sample_count = 4 }"),
       "unknown key player_options.with_renderer.sample_count"},
      {Folder("[image_comparisons.output]", "with_video = true"), "no player_options.with_renderer"},
      {Folder("[image_comparisons.output]",
              "with_renderer = { quality = \"low\" }\nviewport_dimensions = { width = 20, height = 20, scale_factor = 2 }"),
       "scale_factor = 2"},
      {Folder("[image_comparisons.output]", "with_renderer = { quality = \"low\" }\nwith_default_font = true"),
       "with_default_font"},
      {Folder("[image_comparisons.output]", "with_renderer = { quality = \"low\" }\nversion = 9"),
       "unknown key player_options.version"},
      {Folder("[image_comparisons.output]") + "[fonts.noto]\nfamily = \"Noto Sans\"\npath = \"NotoSans.ttf\"\n",
       "fonts: device fonts"},
      {Folder(""), "no image_comparisons"},
      {Folder("image_comparisons.output = "), "test.toml line 2"},
      {Folder("[image_comparisons.output]\n[image_comparisons.output]"), "test.toml line 3"},
  };
  for (const Example& example : examples) {
    SCOPED_TRACE(example.toml);
    const std::string reasons = Reasons(ParseCaseToml(example.toml));
    EXPECT_NE(reasons.find(example.reason), std::string::npos) << reasons;
  }
  // Keys that leave the pictures' meaning alone are honoured without a reason.
  const CorpusCase honoured = ParseCaseToml(Folder(
      "[image_comparisons.output]", "with_renderer = { optional = true, quality = \"low\" }\nwith_video = true\n"
                                    "with_default_font = false"));
  EXPECT_EQ(Reasons(honoured), "");
  EXPECT_EQ(Summary(honoured), "output@2 0/0\n");
}

TEST(CorpusToml, EveryReferencePictureNeedsAComparisonAndEveryComparisonAPicture) {
  const CorpusCase c = ParseCaseToml(Folder("[image_comparisons.a]\n[image_comparisons.b]\ntrigger = 1"));
  ASSERT_EQ(Reasons(c), "");
  EXPECT_TRUE(PictureProblems(c, {"a", "b"}).empty());
  const std::vector<std::string> problems = PictureProblems(c, {"a", "c"});
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0], "b.expected.png is missing");
  EXPECT_EQ(problems[1], "c.expected.png has no comparison in test.toml");
}

// A folder on disk with a two-frame movie (a red square, then a blue one
// elsewhere) and our own pictures of its frames as the references.
class CorpusFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = fs::temp_directory_path() /
           ("velmora-corpus-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(stamp));
    fs::create_directories(dir_);
    w::MovieWriter movie({0, 800, 0, 600}, 12);  // 40 x 30 pixels
    w::TagWriter& t = movie.Timeline();
    t.DefineShape(1, test::SolidRect({255, 0, 0, 255}, 0, 0, 300, 300));
    t.DefineShape(2, test::SolidRect({0, 0, 255, 255}, 0, 0, 300, 300));
    t.Place(test::PlaceAt(1, 1, 40, 40));
    t.ShowFrame();
    t.Remove(1);
    t.Place(test::PlaceAt(1, 2, 400, 200));
    t.ShowFrame();
    const w::Bytes bytes = movie.Finish(w::Compression::kZlib);
    std::ofstream((dir_ / "test.swf").string(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    swf::MoviePlayback playback;
    ASSERT_TRUE(playback.LoadBytes(bytes.data(), bytes.size()));
    for (const char* name : {"first", "second"}) {
      playback.Step();
      swf::Canvas picture;
      picture.Resize(40, 30);
      playback.Draw(picture, swf::ScaleMode::ShowAll, false);
      ASSERT_TRUE(swf::SaveCanvasPng(picture, (dir_ / (std::string(name) + ".expected.png")).string()));
    }
  }
  void TearDown() override {
    std::error_code ignored;  // a folder left in the temp folder harms nothing
    fs::remove_all(dir_, ignored);
  }
  CaseResult Run(const std::string& toml) {
    std::ofstream((dir_ / "test.toml").string()) << toml;
    return RunCase(dir_.string());
  }

  fs::path dir_;
};

TEST_F(CorpusFolder, PassesOnlyWithEveryPictureComparedAtItsFrame) {
  const std::string low = "\n[player_options]\nwith_renderer = { quality = \"low\" }\n";
  for (const char* comparisons : {"[image_comparisons.first]\ntrigger = 1\n[image_comparisons.second]\n",
                                  "image_comparisons.\"first\".trigger = 1\nimage_comparisons.\"second\".trigger = 2\n"}) {
    SCOPED_TRACE(comparisons);
    const CaseResult right = Run("num_ticks = 2\n" + std::string(comparisons) + low);
    EXPECT_TRUE(right.passed) << right.failure;
    EXPECT_EQ(right.compared, 2u);
  }
  const CaseResult swapped =
      Run("num_ticks = 2\nimage_comparisons.first.trigger = 2\nimage_comparisons.second.trigger = 1\n" + low);
  EXPECT_FALSE(swapped.passed);
  EXPECT_EQ(swapped.compared, 2u);
  EXPECT_NE(swapped.failure.find("first: "), std::string::npos) << swapped.failure;
  EXPECT_NE(swapped.failure.find("second: "), std::string::npos) << swapped.failure;
  // A generous enough check lets the same pictures pass: the checks are used.
  EXPECT_TRUE(Run("num_ticks = 2\nimage_comparisons.first = { trigger = 2, max_outliers = 100000 }\n"
                  "image_comparisons.second = { trigger = 1, tolerance = 255 }\n" + low).passed);
}

TEST_F(CorpusFolder, FailsWithTheReasonWhenSomePictureCannotBeCompared) {
  const std::string low = "\n[player_options]\nwith_renderer = { quality = \"low\" }\n";
  struct Example {
    std::string toml, reason;
  } examples[] = {
      {"num_ticks = 2\n[image_comparisons.first]\ntrigger = 1\n" + low,
       "cannot check: second.expected.png has no comparison in test.toml"},
      {"num_ticks = 2\n[image_comparisons.first]\ntrigger = 1\n[image_comparisons.second]\n[image_comparisons.third]\n"
       "trigger = 2\n" + low,
       "cannot check: third.expected.png is missing"},
      {"num_ticks = 2\n[image_comparisons.first]\ntrigger = 1\n[image_comparisons.second]\ntrigger = \"fs_command\"\n" +
           low,
       "cannot check: second: taken on a script's fscommand"},
      {"num_ticks = 2\n[image_comparisons.first]\ntrigger = 1\n[image_comparisons.second]\n" + low +
           "viewport_dimensions = { width = 80, height = 60 }\n",
       "cannot check: first.expected.png is 40x30, the view 80x60"},
  };
  for (const Example& example : examples) {
    SCOPED_TRACE(example.toml);
    const CaseResult result = Run(example.toml);
    EXPECT_FALSE(result.passed);
    EXPECT_EQ(result.compared, 0u);
    EXPECT_EQ(result.failure.rfind(example.reason, 0), 0u) << result.failure;
  }
  // Pictures taken after input events: the same comparisons that pass
  // without them cannot be checked.
  const std::string both = "num_ticks = 2\n[image_comparisons.first]\ntrigger = 1\n[image_comparisons.second]\n" + low;
  ASSERT_TRUE(Run(both).passed);
  std::ofstream((dir_ / "input.json").string()) << "[{\"type\": \"KeyDown\", \"key\": \"Tab\"}]\n";
  const CaseResult input = Run(both);
  EXPECT_FALSE(input.passed);
  EXPECT_EQ(input.failure, "cannot check: input.json: input events the checker cannot give the player");
}

}  // namespace
}  // namespace velmora::corpus
