// A TrueType font file's glyph outlines and metrics, read without any font
// library: the tables head, maxp, hhea, hmtx, loca, glyf and cmap (formats 4
// and 12), simple and composite glyphs. For the tools and tests, which draw
// device text from a font file where Windows would ask GDI.
#pragma once

#include "player/render/GlyphSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::tools {

class TrueTypeFont {
 public:
  // False when the file is missing or not a TrueType font it can read.
  bool Load(const std::string& path);
  bool LoadBytes(std::vector<uint8_t> bytes);

  int UnitsPerEm() const { return unitsPerEm_; }
  // Above and below the baseline, in font units (both positive).
  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  // 0 when the font has no glyph for the code point.
  uint32_t GlyphIndex(char32_t code) const;
  // In font units.
  int Advance(uint32_t glyph) const;
  // The outline scaled to `emSize` pixels per em, y down, with its advance.
  bool Outline(uint32_t glyph, double emSize, swf::GlyphOutline& out) const;

 private:
  struct Table {
    uint32_t offset = 0, length = 0;
  };
  struct Point {
    double x, y;
    bool onCurve;
  };

  bool Parse();
  Table Find(const char* tag) const;
  uint16_t U16(size_t at) const;
  uint32_t U32(size_t at) const;
  int16_t S16(size_t at) const { return static_cast<int16_t>(U16(at)); }
  // The glyph's contours in font units, y up; composite parts moved and scaled.
  bool Contours(uint32_t glyph, int depth, std::vector<std::vector<Point>>& contours) const;
  bool SimpleContours(size_t at, size_t end, int count, std::vector<std::vector<Point>>& contours) const;
  bool CompositeContours(size_t at, size_t end, int depth, std::vector<std::vector<Point>>& contours) const;
  uint32_t CmapFormat4(size_t at, char32_t code) const;
  uint32_t CmapFormat12(size_t at, char32_t code) const;

  std::vector<uint8_t> data_;
  int unitsPerEm_ = 0, ascent_ = 0, descent_ = 0;
  uint32_t glyphCount_ = 0, metricCount_ = 0;
  bool longOffsets_ = false;
  Table loca_, glyf_, hmtx_;
  size_t cmap_ = 0;  // the chosen subtable
  uint16_t cmapFormat_ = 0;
};

}  // namespace velmora::tools
