// One folder of the reference movie corpus: what its test.toml says about the
// pictures to compare.
#pragma once

#include <string>
#include <vector>

namespace velmora::corpus {

struct Check {
  int tolerance = 0;
  long maxOutliers = 0;
};

struct Comparison {
  std::string name;  // the picture is <name>.expected.png
  unsigned frame = 0;  // 0: taken on a script command, skipped
  std::vector<Check> checks;
};

struct CorpusCase {
  unsigned numFrames = 1;
  bool highQuality = false;
  int viewportWidth = 0, viewportHeight = 0;  // 0: the stage size
  std::vector<Comparison> comparisons;
};

// Reads the handful of keys the corpus uses; unknown lines are ignored.
CorpusCase ParseCaseToml(const std::string& text);

// The number of channel values differing by more than `tolerance`.
long CountOutliers(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int tolerance);

}  // namespace velmora::corpus
