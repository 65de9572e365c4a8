// One folder of the reference movie corpus: what its test.toml says about the
// pictures to compare, and whether every one of them can be compared here.
#pragma once

#include <string>
#include <vector>

namespace velmora::corpus {

// A picture matches when at most `maxOutliers` channel values differ from the
// reference by more than `tolerance`.
struct Check {
  int tolerance = 0;
  long maxOutliers = 0;
};

struct Comparison {
  std::string name;    // the picture is <name>.expected.png
  unsigned frame = 0;  // taken after this many frames have run (1: the first)
  std::vector<Check> checks;  // all must hold
};

struct CorpusCase {
  unsigned framesRun = 0;  // num_frames, or num_ticks (one frame per tick)
  bool highQuality = false;
  int viewportWidth = 0, viewportHeight = 0;  // 0: the stage size
  std::vector<Comparison> comparisons;  // in the order of their frames
  // Why some comparison cannot be run as the file means it; a folder with
  // any of these fails instead of passing on the comparisons that remain.
  std::vector<std::string> uncheckable;
};

// Reads test.toml as TOML (every key form) and honours each key the corpus
// uses; a key it does not know, or a value it cannot give the player, lands
// in `uncheckable`.
CorpusCase ParseCaseToml(const std::string& text);

// What disagrees between the comparisons and the reference pictures of the
// folder (`pictures`: the names before ".expected.png"): a picture that is
// missing, or one that no comparison names.
std::vector<std::string> PictureProblems(const CorpusCase& c, const std::vector<std::string>& pictures);

// The number of channel values differing by more than `tolerance`.
long CountOutliers(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int tolerance);

}  // namespace velmora::corpus
