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

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The names of the known-failures list, or false (with the reason) when the
// list cannot be read or holds a line that names no folder: a list that is
// not what it seems (a merge's conflict markers, a broken line) must not pass.
bool ReadNames(const std::string& path, std::set<std::string>& names, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string name = line.substr(0, line.find_first_of(" \t#"));
    if (name.empty()) continue;
    const bool folderName = std::all_of(name.begin(), name.end(), [](unsigned char c) {
      return std::isalnum(c) || c == '_' || c == '-' || c == '.';
    });
    if (!folderName) {
      error = path + ":" + std::to_string(number) + ": not a folder name: " + name;
      return false;
    }
    names.insert(name);
  }
  return true;
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
      std::string error;
      if (!ReadNames(value, expectedFailures, error)) {
        std::printf("corpus_check: %s\n", error.c_str());
        return 1;
      }
    } else if (arg == "--out") {
      outDir = value;
    } else if (arg == "--only") {
      only = value;
    }
  }
  if (!outDir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error) {
      std::printf("corpus_check: cannot make %s: %s\n", outDir.c_str(), error.message().c_str());
      return 1;
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
  std::set<std::string> folders;
  while (std::getline(index, line)) {
    std::istringstream fields(line);
    std::string name, tierText;
    std::getline(fields, name, '\t');
    std::getline(fields, tierText, '\t');
    folders.insert(name);
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
  // A listed name that is no folder of the corpus is a stale or mistyped line.
  int strangers = 0;
  for (const std::string& name : expectedFailures)
    if (!folders.count(name)) {
      std::printf("listed as a known failure but not a folder of the corpus: %s\n", name.c_str());
      ++strangers;
    }
  return unexpected || strangers ? 1 : 0;
}
