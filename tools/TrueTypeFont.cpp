#include "tools/TrueTypeFont.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace velmora::tools {
namespace {

// Font files larger than this are not read.
constexpr size_t kMaxFontBytes = 64u * 1024 * 1024;
// Composite glyphs nest parts; deeper than this is damage.
constexpr int kMaxCompositeDepth = 8;
constexpr double kF2Dot14 = 16384.0;

// Simple-glyph point flags.
constexpr uint8_t kOnCurve = 0x01, kShortX = 0x02, kShortY = 0x04, kRepeat = 0x08, kSameOrPositiveX = 0x10,
                  kSameOrPositiveY = 0x20;
// Composite-glyph part flags.
constexpr uint16_t kWordArguments = 0x0001, kXyValues = 0x0002, kScale = 0x0008, kMoreParts = 0x0020,
                   kXyScale = 0x0040, kTwoByTwo = 0x0080;

}  // namespace

bool TrueTypeFont::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> bytes;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    if (bytes.size() > kMaxFontBytes) return false;
  }
  return LoadBytes(std::move(bytes));
}

bool TrueTypeFont::LoadBytes(std::vector<uint8_t> bytes) {
  data_ = std::move(bytes);
  if (Parse()) return true;
  data_.clear();
  return false;
}

uint16_t TrueTypeFont::U16(size_t at) const {
  return at + 2 <= data_.size() ? static_cast<uint16_t>(data_[at] << 8 | data_[at + 1]) : 0;
}

uint32_t TrueTypeFont::U32(size_t at) const { return static_cast<uint32_t>(U16(at)) << 16 | U16(at + 2); }

TrueTypeFont::Table TrueTypeFont::Find(const char* tag) const {
  const unsigned count = U16(4);
  for (unsigned i = 0; i < count; ++i) {
    const size_t record = 12 + 16 * static_cast<size_t>(i);
    if (record + 16 > data_.size()) break;
    if (std::memcmp(&data_[record], tag, 4) != 0) continue;
    Table t{U32(record + 8), U32(record + 12)};
    if (t.offset > data_.size() || t.length > data_.size() - t.offset) return {};
    return t;
  }
  return {};
}

bool TrueTypeFont::Parse() {
  const Table head = Find("head"), maxp = Find("maxp"), hhea = Find("hhea"), cmap = Find("cmap");
  loca_ = Find("loca");
  glyf_ = Find("glyf");
  hmtx_ = Find("hmtx");
  if (head.length < 54 || maxp.length < 6 || hhea.length < 36 || !cmap.length || !loca_.length || !glyf_.length ||
      !hmtx_.length)
    return false;
  unitsPerEm_ = U16(head.offset + 18);
  longOffsets_ = S16(head.offset + 50) != 0;
  glyphCount_ = U16(maxp.offset + 4);
  ascent_ = S16(hhea.offset + 4);
  descent_ = -S16(hhea.offset + 6);
  metricCount_ = U16(hhea.offset + 34);
  if (unitsPerEm_ <= 0 || metricCount_ == 0 || metricCount_ * 4u > hmtx_.length) return false;
  if ((glyphCount_ + 1u) * (longOffsets_ ? 4u : 2u) > loca_.length) return false;
  // A Unicode subtable: the full repertoire (format 12) before the basic plane's.
  int best = 0;
  const unsigned tables = U16(cmap.offset + 2);
  for (unsigned i = 0; i < tables; ++i) {
    const size_t record = cmap.offset + 4 + 8 * static_cast<size_t>(i);
    const uint16_t platform = U16(record), encoding = U16(record + 2);
    const size_t at = cmap.offset + U32(record + 4);
    const uint16_t format = U16(at);
    const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
    const int rank = !unicode ? 0 : format == 12 ? 2 : format == 4 ? 1 : 0;
    if (rank > best && at < cmap.offset + cmap.length) {
      best = rank;
      cmap_ = at;
      cmapFormat_ = format;
    }
  }
  return best > 0;
}

uint32_t TrueTypeFont::GlyphIndex(char32_t code) const {
  if (data_.empty()) return 0;
  const uint32_t glyph = cmapFormat_ == 12 ? CmapFormat12(cmap_, code) : CmapFormat4(cmap_, code);
  return glyph < glyphCount_ ? glyph : 0;
}

uint32_t TrueTypeFont::CmapFormat4(size_t at, char32_t code) const {
  if (code > 0xFFFF) return 0;
  const unsigned segments = U16(at + 6) / 2;
  const size_t ends = at + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
               ranges = deltas + 2 * segments;
  for (unsigned i = 0; i < segments; ++i) {
    if (code > U16(ends + 2 * i)) continue;
    const uint16_t start = U16(starts + 2 * i);
    if (code < start) return 0;
    const uint16_t delta = U16(deltas + 2 * i), range = U16(ranges + 2 * i);
    if (range == 0) return (code + delta) & 0xFFFF;
    const uint16_t glyph = U16(ranges + 2 * i + range + 2 * (code - start));
    return glyph == 0 ? 0 : (glyph + delta) & 0xFFFF;
  }
  return 0;
}

uint32_t TrueTypeFont::CmapFormat12(size_t at, char32_t code) const {
  const uint32_t groups = U32(at + 12);
  for (uint32_t i = 0; i < groups && at + 16 + 12 * static_cast<size_t>(i) + 12 <= data_.size(); ++i) {
    const size_t group = at + 16 + 12 * static_cast<size_t>(i);
    const uint32_t first = U32(group), last = U32(group + 4);
    if (code >= first && code <= last) return U32(group + 8) + (code - first);
  }
  return 0;
}

int TrueTypeFont::Advance(uint32_t glyph) const {
  if (data_.empty()) return 0;
  const uint32_t metric = glyph < metricCount_ ? glyph : metricCount_ - 1;
  return U16(hmtx_.offset + 4 * static_cast<size_t>(metric));
}

bool TrueTypeFont::Contours(uint32_t glyph, int depth, std::vector<std::vector<Point>>& contours) const {
  if (glyph >= glyphCount_ || depth > kMaxCompositeDepth) return false;
  const size_t from = longOffsets_ ? U32(loca_.offset + 4 * glyph) : 2u * U16(loca_.offset + 2 * glyph);
  const size_t to = longOffsets_ ? U32(loca_.offset + 4 * (glyph + 1)) : 2u * U16(loca_.offset + 2 * (glyph + 1));
  if (from == to) return true;  // a glyph without outline (a space)
  if (from > to || to > glyf_.length || to - from < 10) return false;
  const size_t at = glyf_.offset + from, end = glyf_.offset + to;
  const int count = S16(at);
  return count >= 0 ? SimpleContours(at + 10, end, count, contours) : CompositeContours(at + 10, end, depth, contours);
}

bool TrueTypeFont::SimpleContours(size_t at, size_t end, int count, std::vector<std::vector<Point>>& contours) const {
  std::vector<uint16_t> ends;
  for (int i = 0; i < count; ++i) ends.push_back(U16(at + 2 * i));
  at += 2 * static_cast<size_t>(count);
  if (count == 0) return true;
  const size_t points = ends.back() + 1u;
  at += 2 + U16(at);  // instructions
  std::vector<uint8_t> flags;
  while (flags.size() < points) {
    if (at >= end) return false;
    const uint8_t f = data_[at++];
    flags.push_back(f);
    if (f & kRepeat) {
      if (at >= end) return false;
      for (unsigned r = data_[at++]; r > 0 && flags.size() < points; --r) flags.push_back(f);
    }
  }
  std::vector<Point> all(points);
  for (int axis = 0; axis < 2; ++axis) {
    const uint8_t shortBit = axis == 0 ? kShortX : kShortY, sameBit = axis == 0 ? kSameOrPositiveX : kSameOrPositiveY;
    int value = 0;
    for (size_t i = 0; i < points; ++i) {
      if (flags[i] & shortBit) {
        if (at >= end) return false;
        const int d = data_[at++];
        value += (flags[i] & sameBit) ? d : -d;
      } else if (!(flags[i] & sameBit)) {
        if (at + 2 > end) return false;
        value += S16(at);
        at += 2;
      }
      (axis == 0 ? all[i].x : all[i].y) = value;
      all[i].onCurve = (flags[i] & kOnCurve) != 0;
    }
  }
  size_t first = 0;
  for (uint16_t last : ends) {
    if (last < first || last >= points) return false;
    contours.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(first), all.begin() + last + 1);
    first = last + 1u;
  }
  return true;
}

bool TrueTypeFont::CompositeContours(size_t at, size_t end, int depth, std::vector<std::vector<Point>>& contours) const {
  for (uint16_t flags = kMoreParts; flags & kMoreParts;) {
    if (at + 4 > end) return false;
    flags = U16(at);
    const uint16_t part = U16(at + 2);
    at += 4;
    double dx = 0, dy = 0;
    if (flags & kWordArguments) {
      dx = S16(at);
      dy = S16(at + 2);
      at += 4;
    } else {
      dx = static_cast<int8_t>(at < end ? data_[at] : 0);
      dy = static_cast<int8_t>(at + 1 < end ? data_[at + 1] : 0);
      at += 2;
    }
    if (!(flags & kXyValues)) dx = dy = 0;  // parts joined at points: placed at the origin
    double a = 1, b = 0, c = 0, d = 1;
    if (flags & kScale) {
      a = d = S16(at) / kF2Dot14;
      at += 2;
    } else if (flags & kXyScale) {
      a = S16(at) / kF2Dot14;
      d = S16(at + 2) / kF2Dot14;
      at += 4;
    } else if (flags & kTwoByTwo) {
      a = S16(at) / kF2Dot14;
      b = S16(at + 2) / kF2Dot14;
      c = S16(at + 4) / kF2Dot14;
      d = S16(at + 6) / kF2Dot14;
      at += 8;
    }
    if (at > end) return false;
    std::vector<std::vector<Point>> parts;
    if (!Contours(part, depth + 1, parts)) return false;
    for (auto& contour : parts) {
      for (Point& p : contour) p = {a * p.x + c * p.y + dx, b * p.x + d * p.y + dy, p.onCurve};
      contours.push_back(std::move(contour));
    }
  }
  return true;
}

bool TrueTypeFont::Outline(uint32_t glyph, double emSize, swf::GlyphOutline& out) const {
  out = swf::GlyphOutline();
  if (data_.empty() || glyph >= glyphCount_) return false;
  const double scale = emSize / unitsPerEm_;
  out.advance = Advance(glyph) * scale;
  std::vector<std::vector<Point>> contours;
  if (!Contours(glyph, 0, contours)) return false;
  using Piece = swf::GlyphOutline::Piece;
  auto at = [&](const Point& p) { return swf::Point{p.x * scale, -p.y * scale}; };
  auto mid = [&](const Point& p, const Point& q) { return Point{(p.x + q.x) / 2, (p.y + q.y) / 2, true}; };
  for (const auto& contour : contours) {
    const size_t n = contour.size();
    if (n < 2) continue;
    // Start on a point on the curve, or between two that are off it.
    size_t start = 0;
    while (start < n && !contour[start].onCurve) ++start;
    const Point first = start < n ? contour[start] : mid(contour[0], contour[1]);
    if (start == n) start = 0;
    out.pieces.push_back({Piece::Kind::Move, {}, at(first)});
    const Point* control = nullptr;
    for (size_t k = 1; k <= n; ++k) {
      const Point& p = k == n && start < n && contour[start].onCurve ? first : contour[(start + k) % n];
      if (!p.onCurve) {
        if (control) out.pieces.push_back({Piece::Kind::Curve, at(*control), at(mid(*control, p))});
        control = &p;
        continue;
      }
      out.pieces.push_back(control ? Piece{Piece::Kind::Curve, at(*control), at(p)} : Piece{Piece::Kind::Line, {}, at(p)});
      control = nullptr;
    }
    if (control) out.pieces.push_back({Piece::Kind::Curve, at(*control), at(first)});
  }
  return true;
}

}  // namespace velmora::tools
