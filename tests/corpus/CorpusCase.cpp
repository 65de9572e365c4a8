#include "tests/corpus/CorpusCase.h"

#include <algorithm>
#include <cstdlib>

namespace velmora::corpus {

std::vector<std::string> PictureProblems(const CorpusCase& c, const std::vector<std::string>& pictures) {
  std::vector<std::string> problems;
  auto named = [&](const std::string& picture) {
    return std::any_of(c.comparisons.begin(), c.comparisons.end(),
                       [&](const Comparison& cmp) { return cmp.name == picture; });
  };
  for (const Comparison& cmp : c.comparisons)
    if (std::find(pictures.begin(), pictures.end(), cmp.name) == pictures.end())
      problems.push_back(cmp.name + ".expected.png is missing");
  // A reference picture nobody compares means a comparison was not read.
  for (const std::string& picture : pictures)
    if (!named(picture)) problems.push_back(picture + ".expected.png has no comparison in test.toml");
  return problems;
}

long CountOutliers(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int tolerance) {
  long count = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (std::abs(int(a[i]) - int(b[i])) > tolerance) ++count;
  return count;
}

}  // namespace velmora::corpus
