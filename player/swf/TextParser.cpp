#include "player/swf/TextParser.h"

#include "player/swf/ShapeParser.h"
#include "player/swf/TagCodes.h"

#include <algorithm>
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

// A font's name as stored: some tools count the terminating zero in its
// length, or pad it with zeros.
std::string ReadFontName(BitReader& in) {
  const size_t length = in.U8();
  if (length > in.Remaining()) {
    in.Fail();
    return {};
  }
  std::string name(reinterpret_cast<const char*>(in.Current()), length);
  in.Skip(length);
  const size_t end = name.find('\0');
  if (end != std::string::npos) name.resize(end);
  return name;
}

// The kerning pairs after a font's layout; a table cut short keeps the
// pairs read before the cut.
void ReadKerning(BitReader& in, bool wideCodes, Font& font) {
  const unsigned count = in.U16();
  if (!in.Ok()) return;
  for (unsigned i = 0; i < count; ++i) {
    const uint16_t left = wideCodes ? in.U16() : in.U8();
    const uint16_t right = wideCodes ? in.U16() : in.U8();
    const int16_t adjustment = in.S16();
    if (!in.Ok()) return;
    font.kerning.emplace(std::make_pair(left, right), adjustment);
  }
}

bool ReadFont23(BitReader& in, int fontVersion, Font& font) {
  uint8_t flags = in.U8();
  const bool hasLayout = (flags & fontflag::kHasLayout) != 0, wideOffsets = (flags & fontflag::kWideOffsets) != 0,
             wideCodes = (flags & fontflag::kWideCodes) != 0;
  font.italic = (flags & fontflag::kItalic) != 0;
  font.bold = (flags & fontflag::kBold) != 0;
  in.U8();  // language
  font.name = ReadFontName(in);
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
    // Ascent and descent are unsigned in the file, the leading signed.
    font.ascent = rest.U16();
    font.descent = rest.U16();
    font.leading = rest.S16();
    for (unsigned i = 0; i < count; ++i) font.advances.push_back(rest.S16());
    if (!rest.Ok()) {
      font.advances.clear();
      font.ascent = font.descent = font.leading = 0;
    } else {
      for (unsigned i = 0; i < count && rest.Ok(); ++i) rest.ReadRect();  // glyph bounds: not needed
      ReadKerning(rest, wideCodes, font);
    }
  }
  if (!rest.Ok()) font.codes.resize(std::min(font.codes.size(), font.glyphs.size()));
  IndexCodes(font);
  return true;
}

}  // namespace

void IndexCodes(Font& font) {
  font.glyphOfCode.clear();
  const size_t count = std::min(font.codes.size(), font.glyphs.size());
  // The first glyph of a code wins, as a text lookup finds it first.
  for (size_t i = 0; i < count; ++i) font.glyphOfCode.emplace(font.codes[i], static_cast<uint32_t>(i));
}

bool ReadFontInfo(BitReader& in, int infoVersion, Font& font) {
  std::string name = ReadFontName(in);
  const uint8_t flags = in.U8();
  if (infoVersion == 2) in.U8();  // language
  if (!in.Ok()) return false;
  font.name = std::move(name);
  font.italic = (flags & fontinfoflag::kItalic) != 0;
  font.bold = (flags & fontinfoflag::kBold) != 0;
  const bool wideCodes = (flags & fontinfoflag::kWideCodes) != 0;
  // A short table names what it holds; the other glyphs keep no code.
  const size_t count = std::min(font.glyphs.size(), in.Remaining() / (wideCodes ? 2 : 1));
  font.codes.clear();
  for (size_t i = 0; i < count; ++i) font.codes.push_back(wideCodes ? in.U16() : in.U8());
  IndexCodes(font);
  return count == font.glyphs.size();
}

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
