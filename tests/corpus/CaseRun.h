// Runs one folder of the reference corpus: plays its movie and compares each
// reference picture with ours at the frame it was taken after.
#pragma once

#include "player/render/GlyphSource.h"

#include <cstddef>
#include <memory>
#include <string>

namespace velmora::corpus {

struct CaseResult {
  bool passed = false;   // every picture of the folder compared and matched
  std::string failure;   // why not; "cannot check: ..." when some picture could not be compared
  size_t compared = 0;   // pictures compared
};

// `outDir`, when not empty, receives our picture of each comparison as
// <folder>.<name>.png. `glyphs` gives device fonts to the movie's text fields.
CaseResult RunCase(const std::string& dir, const std::string& outDir = "",
                   std::shared_ptr<swf::GlyphSource> glyphs = nullptr);

}  // namespace velmora::corpus
