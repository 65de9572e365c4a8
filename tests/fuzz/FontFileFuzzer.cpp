// libFuzzer target: any bytes as a TrueType font file for the tools' device
// fonts, its outlines read for a range of characters. Nothing may crash,
// hang or read past the bytes.
#include "tools/TrueTypeFont.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  velmora::tools::TrueTypeFont font;
  if (!font.LoadBytes(std::vector<uint8_t>(data, data + size))) return 0;
  velmora::swf::GlyphOutline outline;
  for (char32_t code = 0; code < 300; ++code) font.Outline(font.GlyphIndex(code), 16, outline);
  for (uint32_t glyph = 0; glyph < 64; ++glyph) font.Outline(glyph, 16, outline);
  return 0;
}
