// Plays every movie of the reference corpus and compares the pictures with
// those of the original player, by each folder's own tolerance.
//
//   corpus_check <corpus-dir> [--tiers 1,2,3] [--expect-failures FILE] [--out DIR]
//
// Prints PASS/FAIL per folder and a summary line per tier. Exits non-zero
// only when a tier-1 folder fails that FILE does not list: the list names the
// known failures with their reasons, so a regression cannot hide.
#include "player/render/CanvasPng.h"
#include "player/MoviePlayback.h"
#include "tests/corpus/CorpusCase.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using velmora::swf::Canvas;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// "" when every picture matches, else what failed.
std::string RunCase(const std::string& dir, const std::string& outDir) {
  using namespace velmora;
  corpus::CorpusCase c = corpus::ParseCaseToml(ReadFile(dir + "/test.toml"));
  swf::MoviePlayback playback;
  if (!playback.Load(dir + "/test.swf")) return "not loaded: " + playback.Error();
  std::map<unsigned, std::vector<const corpus::Comparison*>> byFrame;
  for (const auto& cmp : c.comparisons)
    if (cmp.frame > 0) byFrame[cmp.frame].push_back(&cmp);
  if (byFrame.empty()) return "";
  std::string failure;
  Canvas canvas;
  for (unsigned n = 1; n <= byFrame.rbegin()->first; ++n) {
    playback.Step();
    auto it = byFrame.find(n);
    if (it == byFrame.end()) continue;
    for (const corpus::Comparison* cmp : it->second) {
      Canvas expected;
      if (!swf::LoadCanvasPng(dir + "/" + cmp->name + ".expected.png", expected)) {
        failure += cmp->name + ": no reference picture; ";
        continue;
      }
      canvas.Resize(expected.width, expected.height);
      playback.Draw(canvas, swf::ScaleMode::ShowAll, c.highQuality);
      if (!outDir.empty()) {
        std::string base = dir.substr(dir.find_last_of('/') + 1);
        swf::SaveCanvasPng(canvas, outDir + "/" + base + "." + cmp->name + ".png");
      }
      std::vector<uint8_t> ours = swf::StraightRgbaBytes(canvas), theirs = swf::StraightRgbaBytes(expected);
      for (const corpus::Check& check : cmp->checks) {
        long outliers = corpus::CountOutliers(ours, theirs, check.tolerance);
        if (outliers > check.maxOutliers)
          failure += cmp->name + ": " + std::to_string(outliers) + " values off by more than " +
                     std::to_string(check.tolerance) + " (allowed " + std::to_string(check.maxOutliers) + "); ";
      }
    }
  }
  return failure;
}

std::set<std::string> ReadNames(const std::string& path) {
  std::set<std::string> names;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::string name = line.substr(0, line.find_first_of(" \t#"));
    if (!name.empty()) names.insert(name);
  }
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: corpus_check <corpus-dir> [--tiers 1,2,3] [--expect-failures FILE] [--out DIR]\n");
    return 2;
  }
  const std::string root = argv[1];
  std::set<int> tiers{1, 2, 3};
  std::set<std::string> expectedFailures;
  std::string outDir, only;
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string arg = argv[i], value = argv[i + 1];
    if (arg == "--tiers") {
      tiers.clear();
      for (char ch : value)
        if (ch >= '1' && ch <= '3') tiers.insert(ch - '0');
    } else if (arg == "--expect-failures") {
      expectedFailures = ReadNames(value);
    } else if (arg == "--out") {
      outDir = value;
    } else if (arg == "--only") {
      only = value;
    }
  }
  std::ifstream index(root + "/INDEX.tsv");
  if (!index) {
    std::printf("corpus_check: no %s/INDEX.tsv: skipped\n", root.c_str());
    return 77;  // the test runner's "skipped"
  }
  std::map<int, std::pair<int, int>> counts;  // tier: passed, failed
  int unexpected = 0;
  std::string line;
  std::getline(index, line);  // header
  while (std::getline(index, line)) {
    std::istringstream fields(line);
    std::string name, tierText;
    std::getline(fields, name, '\t');
    std::getline(fields, tierText, '\t');
    int tier = std::atoi(tierText.c_str());
    if (!tiers.count(tier) || (!only.empty() && name.find(only) == std::string::npos)) continue;
    std::string failure = RunCase(root + "/" + name, outDir);
    bool pass = failure.empty();
    (pass ? counts[tier].first : counts[tier].second)++;
    bool known = expectedFailures.count(name) > 0;
    if (!pass && tier == 1 && !known) ++unexpected;
    std::printf("%s tier %d %s%s%s\n", pass ? "PASS" : "FAIL", tier, name.c_str(), pass ? "" : ": ",
                failure.c_str());
    if (pass && known) std::printf("     (listed as a known failure but passes now)\n");
    std::fflush(stdout);
  }
  for (auto& [tier, c] : counts)
    std::printf("SUMMARY tier %d: %d passed, %d failed of %d\n", tier, c.first, c.second, c.first + c.second);
  if (unexpected) std::printf("%d tier-1 folder(s) failed that are not listed as known failures\n", unexpected);
  return unexpected ? 1 : 0;
}
