#include "player/swf/TextParser.h"

#include "player/swf/ShapeParser.h"

#include <memory>

namespace velmora::swf {
namespace {

// A glyph outline: a shape without style tables whose fill style 1 is the
// text's colour.
std::shared_ptr<Shape> ReadGlyph(const uint8_t* data, size_t size) {
  auto glyph = std::make_shared<Shape>();
  glyph->styleTables.emplace_back();
  FillStyle fill;
  fill.color = {255, 255, 255, 255};
  glyph->styleTables[0].fills.push_back(fill);
  BitReader in(data, size);
  ReadShapeRecords(in, 1, *glyph);
  return glyph;
}

// Glyph outlines stored at `offsets`, each running to the next offset and the
// last to `end`; offsets count from `table`.
bool ReadGlyphs(const uint8_t* table, size_t end, const std::vector<uint32_t>& offsets, Font& font) {
  for (size_t i = 0; i < offsets.size(); ++i) {
    size_t from = offsets[i];
    size_t to = i + 1 < offsets.size() ? offsets[i + 1] : end;
    if (from > to || to > end) return false;
    font.glyphs.push_back(ReadGlyph(table + from, to - from));
  }
  return true;
}

bool ReadFont1(BitReader& in, Font& font) {
  const uint8_t* table = in.Current();
  const size_t size = in.Remaining();
  uint16_t first = in.U16();
  if (!in.Ok() || first % 2 != 0 || first > size) return false;
  std::vector<uint32_t> offsets{first};
  for (unsigned i = 1; i < first / 2u && in.Ok(); ++i) offsets.push_back(in.U16());
  return in.Ok() && ReadGlyphs(table, size, offsets, font);
}

bool ReadFont23(BitReader& in, int fontVersion, Font& font) {
  uint8_t flags = in.U8();
  const bool hasLayout = (flags & 0x80) != 0, wideOffsets = (flags & 0x08) != 0,
             wideCodes = (flags & 0x04) != 0;
  in.U8();  // language
  in.Skip(in.U8());  // name
  uint16_t count = in.U16();
  if (!in.Ok()) return false;
  if (fontVersion == 3) font.emSize = 1024 * 20;
  const uint8_t* table = in.Current();
  const size_t tableStart = in.Position();
  const size_t offsetSize = wideOffsets ? 4 : 2;
  if (count * offsetSize > in.Remaining()) return false;
  std::vector<uint32_t> offsets;
  for (unsigned i = 0; i < count; ++i) offsets.push_back(wideOffsets ? in.U32() : in.U16());
  // Without glyphs the code table offset may be missing.
  if (count == 0) return true;
  uint32_t codeOffset = wideOffsets ? in.U32() : in.U16();
  if (!in.Ok() || codeOffset > in.Size() - tableStart) return false;
  if (!ReadGlyphs(table, codeOffset, offsets, font)) return false;
  BitReader rest(table + codeOffset, in.Size() - tableStart - codeOffset);
  for (unsigned i = 0; i < count; ++i) font.codes.push_back(wideCodes ? rest.U16() : rest.U8());
  if (hasLayout) {
    rest.S16();  // ascent
    rest.S16();  // descent
    rest.S16();  // leading
    for (unsigned i = 0; i < count; ++i) font.advances.push_back(rest.S16());
    if (!rest.Ok()) font.advances.clear();
  }
  // Bounds and kerning do not change how static text is placed.
  if (!rest.Ok()) font.codes.resize(std::min(font.codes.size(), font.glyphs.size()));
  return true;
}

}  // namespace

bool ReadFont(BitReader& in, int fontVersion, Font& font) {
  return fontVersion == 1 ? ReadFont1(in, font) : ReadFont23(in, fontVersion, font);
}

bool ReadStaticText(BitReader& in, int textVersion, StaticText& text) {
  text.bounds = in.ReadRect();
  text.matrix = in.ReadMatrix();
  unsigned glyphBits = in.U8();
  unsigned advanceBits = in.U8();
  if (!in.Ok() || glyphBits > 32 || advanceBits > 32) return false;
  TextRecord current;
  while (in.Ok()) {
    uint8_t flags = in.U8();
    if (!in.Ok() || flags == 0) break;
    if (flags & 0x08) current.fontId = in.U16();
    if (flags & 0x04) current.color = textVersion == 2 ? in.ReadRgba() : in.ReadRgb();
    if (flags & 0x01) current.x = in.S16();
    if (flags & 0x02) current.y = in.S16();
    if (flags & 0x08) current.height = in.U16();
    unsigned count = in.U8();
    // Each entry takes at least a bit; more than the bytes left is damage.
    if (!in.Ok() || (glyphBits + advanceBits) * count > in.Remaining() * 8) return false;
    TextRecord record = current;
    for (unsigned i = 0; i < count; ++i) {
      TextGlyph g;
      g.index = in.Bits(glyphBits);
      g.advance = in.SignedBits(advanceBits);
      record.glyphs.push_back(g);
    }
    in.Align();
    if (!in.Ok()) return false;
    // A record without an x offset goes on from where the one before ended.
    for (const TextGlyph& g : record.glyphs) current.x += g.advance;
    text.records.push_back(std::move(record));
  }
  return in.Ok();
}

}  // namespace velmora::swf
