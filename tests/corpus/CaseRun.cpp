#include "tests/corpus/CaseRun.h"

#include "player/render/CanvasPng.h"
#include "player/MoviePlayback.h"
#include "tests/corpus/CorpusCase.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace velmora::corpus {
namespace {

using swf::Canvas;

constexpr char kPictureSuffix[] = ".expected.png";
constexpr char kInputEvents[] = "input.json";
constexpr double kTwipsPerPixel = 20;

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream ss;
  ss << in.rdbuf();
  text = ss.str();
  return true;
}

// The names before ".expected.png" of the folder's reference pictures.
std::vector<std::string> ReferencePictures(const std::string& dir) {
  const std::string suffix = kPictureSuffix;
  std::vector<std::string> names;
  std::error_code error;  // an unreadable folder lists nothing: its pictures are then missing
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    const std::string file = entry.path().filename().string();
    if (file.size() > suffix.size() && file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0)
      names.push_back(file.substr(0, file.size() - suffix.size()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
  return text;
}

CaseResult Failed(std::string why) {
  CaseResult result;
  result.failure = std::move(why);
  return result;
}

// Reads every reference picture and checks it has the view's size: the
// viewport's when the folder gives one, else the stage's.
std::string LoadPictures(const std::string& dir, const CorpusCase& c, const swf::Rect& stage,
                         std::vector<Canvas>& pictures) {
  const int width = c.viewportWidth ? c.viewportWidth : int(std::lround(stage.Width() / kTwipsPerPixel));
  const int height = c.viewportHeight ? c.viewportHeight : int(std::lround(stage.Height() / kTwipsPerPixel));
  std::vector<std::string> problems;
  pictures.resize(c.comparisons.size());
  for (size_t i = 0; i < c.comparisons.size(); ++i) {
    const std::string file = c.comparisons[i].name + kPictureSuffix;
    if (!swf::LoadCanvasPng(dir + "/" + file, pictures[i]))
      problems.push_back(file + " is not a readable PNG");
    else if (pictures[i].width != width || pictures[i].height != height)
      problems.push_back(file + " is " + std::to_string(pictures[i].width) + "x" + std::to_string(pictures[i].height) +
                         ", the view " + std::to_string(width) + "x" + std::to_string(height));
  }
  return Joined(problems);
}

// What failed of one picture's checks; empty when all hold.
std::string Compare(const Comparison& cmp, const Canvas& ours, const Canvas& theirs) {
  const std::vector<uint8_t> a = swf::StraightRgbaBytes(ours), b = swf::StraightRgbaBytes(theirs);
  std::string failure;
  for (const Check& check : cmp.checks) {
    const long outliers = CountOutliers(a, b, check.tolerance);
    if (outliers > check.maxOutliers)
      failure += cmp.name + ": " + std::to_string(outliers) + " values off by more than " +
                 std::to_string(check.tolerance) + " (allowed " + std::to_string(check.maxOutliers) + "); ";
  }
  return failure;
}

}  // namespace

CaseResult RunCase(const std::string& dir, const std::string& outDir, std::shared_ptr<swf::GlyphSource> glyphs) {
  std::string toml;
  if (!ReadText(dir + "/test.toml", toml)) return Failed("cannot check: no test.toml");
  const CorpusCase c = ParseCaseToml(toml);
  std::vector<std::string> problems = c.uncheckable;
  for (std::string& problem : PictureProblems(c, ReferencePictures(dir))) problems.push_back(std::move(problem));
  // The harness's recorded key presses and pointer moves, given to the player
  // between ticks: the pictures show what they did.
  std::error_code error;  // a folder that cannot be read has no such file
  if (std::filesystem::exists(dir + "/" + kInputEvents, error))
    problems.push_back(std::string(kInputEvents) + ": input events the checker cannot give the player");
  if (!problems.empty()) return Failed("cannot check: " + Joined(problems));

  swf::MoviePlayback playback;
  playback.SetGlyphSource(std::move(glyphs));
  if (!playback.Load(dir + "/test.swf")) return Failed("not loaded: " + playback.Error());
  std::vector<Canvas> pictures;
  const std::string unreadable = LoadPictures(dir, c, playback.GetMovie().stage, pictures);
  if (!unreadable.empty()) return Failed("cannot check: " + unreadable);

  // The comparisons come in the order of their frames, each frame from 1 on.
  CaseResult result;
  Canvas ours;
  size_t next = 0;
  for (unsigned frame = 1; frame <= c.framesRun && next < c.comparisons.size(); ++frame) {
    playback.Step();
    for (; next < c.comparisons.size() && c.comparisons[next].frame == frame; ++next) {
      const Comparison& cmp = c.comparisons[next];
      ours.Resize(pictures[next].width, pictures[next].height);
      playback.Draw(ours, swf::ScaleMode::ShowAll, c.highQuality);
      if (!outDir.empty()) {
        const std::string folder = std::filesystem::path(dir).filename().string();
        const std::string out = outDir + "/" + folder + "." + cmp.name + ".png";
        // A picture asked for and not written is a failure, not a silence.
        if (!swf::SaveCanvasPng(ours, out)) result.failure += "not written: " + out + "; ";
      }
      result.failure += Compare(cmp, ours, pictures[next]);
      ++result.compared;
    }
  }
  // Never a pass without every picture compared.
  result.passed = result.failure.empty() && result.compared == c.comparisons.size() && result.compared > 0;
  if (!result.passed && result.failure.empty())
    result.failure = std::to_string(result.compared) + " of " + std::to_string(c.comparisons.size()) +
                     " pictures compared";
  return result;
}

}  // namespace velmora::corpus
