// Plays every movie of the reference corpus and compares the pictures with
// those of the original player, by each folder's own tolerance.
//
//   corpus_check <corpus-dir> [--tiers 1,2,3] [--expect-failures FILE] [--out DIR] [--only TEXT]
//
// --only runs the folders whose name holds TEXT.
//
// Prints PASS/FAIL per folder and a summary line per tier. A folder passes
// only when every picture its test.toml names was compared and matched; one
// with a picture that cannot be compared here fails as "cannot check: why".
// Exits non-zero only when a tier-1 folder fails that FILE does not list: the
// list names the known failures with their reasons, so a regression cannot hide.
#include "tests/corpus/CaseRun.h"
#ifndef _WIN32
#include "tools/FontFileGlyphSource.h"
#endif

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

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
    std::fprintf(stderr, "usage: corpus_check <corpus-dir> [--tiers 1,2,3] [--expect-failures FILE] [--out DIR] [--only TEXT]\n");
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
  // Device text from the system's fonts; they are not the fonts of the
  // reference pictures, so folders with device text cannot be checked.
  std::shared_ptr<velmora::swf::GlyphSource> glyphs;
#ifndef _WIN32
  glyphs = std::make_shared<velmora::tools::FontFileGlyphSource>();
#endif
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
    const velmora::corpus::CaseResult result = velmora::corpus::RunCase(root + "/" + name, outDir, glyphs);
    const bool pass = result.passed;
    const std::string& failure = result.failure;
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
