#include "player/render/TextFieldLayout.h"

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <deque>
#include <string_view>

namespace velmora::swf {
namespace {

constexpr double kTwipsPerPixel = 20;
// A font without a layout (which text fields need) stands on these.
constexpr double kDefaultAscentEm = 0.8, kDefaultDescentEm = 0.2;
// List items: the text starts this far in, the bullet before it.
constexpr double kBulletIndent = 36 * kTwipsPerPixel;
constexpr char32_t kBullet = 0x2022, kPasswordChar = U'*';
// An underline a pixel thick, a tenth of the em below the baseline.
constexpr double kUnderlineThickness = kTwipsPerPixel, kUnderlineOffsetEm = 0.1;
// The device font a field without a font shows, as the reference player's.
constexpr const char* kDefaultDeviceFace = "Times New Roman";

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == 0xA0 || c == 0x3000; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

const Font* FontOf(const Movie& movie, uint16_t id) {
  const Character* c = movie.Find(id);
  return c && c->kind == Character::Kind::Font ? c->font.get() : nullptr;
}

// The font a run is drawn in, at the run's size.
struct Face {
  const Font* font = nullptr;  // embedded, with glyphs
  DeviceFont device;           // otherwise
  bool usable = false;
  double ascent = 0, descent = 0;  // twips
};

// One character as it is laid out.
struct Cell {
  char32_t code = 0;
  const Font* font = nullptr;  // embedded: its advance is settled with the next cell
  double emAdvance = 0, spacing = 0;
  bool kerning = false;
  const Shape* outline = nullptr;
  std::shared_ptr<const Shape> deviceOutline;
  double advance = 0, scale = 1;  // twips; outline units to twips
  double ascent = 0, descent = 0, size = 0;
  Rgba color;
  bool underline = false, device = false;
};

class Layout {
 public:
  Layout(const EditText& field, const FormattedText& text, const Movie& movie, DeviceGlyphs* device)
      : field_(field), text_(text), movie_(movie), device_(device), fieldFont_(FontOf(movie, field.fontId)) {}

  FieldLayout Run(const Rect& bounds) {
    out_ = FieldLayout();
    out_.bounds = bounds;
    y_ = bounds.yMin + kTextGutter;
    size_t start = 0;
    for (size_t p = 0; start <= text_.text.size(); ++p) {
      size_t end = text_.text.find(U'\n', start);
      if (end == std::u32string::npos) end = text_.text.size();
      const ParagraphFormat& para = p < text_.paragraphs.size() ? text_.paragraphs[p] : ParagraphFormat{};
      LayOutParagraph(start, end, para);
      start = end + 1;
    }
    return std::move(out_);
  }

 private:
  Face Resolve(const CharFormat& format) {
    Face face;
    const double size = format.size;
    if (field_.useOutlines) face.font = FindEmbedded(format);
    if (face.font) {
      const bool layout = face.font->HasLayout() && face.font->ascent + face.font->descent > 0;
      const double em = size / face.font->emSize;
      // Whole twips, as the advances.
      face.ascent = std::trunc(layout ? face.font->ascent * em : kDefaultAscentEm * size);
      face.descent = std::trunc(layout ? face.font->descent * em : kDefaultDescentEm * size);
      face.usable = true;
      return face;
    }
    face.device.face = !format.face.empty() ? format.face : fieldFont_ && !fieldFont_->name.empty() ? fieldFont_->name : kDefaultDeviceFace;
    face.device.bold = format.bold;
    face.device.italic = format.italic;
    face.device.emSize = size / kTwipsPerPixel;
    DeviceFontMetrics m;
    if (device_ && device_->Metrics(face.device, m)) {
      face.ascent = m.ascent;
      face.descent = m.descent;
      face.usable = true;
    } else {
      face.ascent = kDefaultAscentEm * size;
      face.descent = kDefaultDescentEm * size;
    }
    return face;
  }

  // An embedded font with glyphs: the one named in its style, any style of
  // that name, then the field's own.
  const Font* FindEmbedded(const CharFormat& format) const {
    const Font* anyStyle = nullptr;
    for (const auto& [id, c] : movie_.dictionary) {
      if (c.kind != Character::Kind::Font || !c.font || c.font->glyphs.empty()) continue;
      if (!SameName(c.font->name, format.face)) continue;
      if (c.font->bold == format.bold && c.font->italic == format.italic) return c.font.get();
      if (!anyStyle) anyStyle = c.font.get();
    }
    if (anyStyle) return anyStyle;
    return fieldFont_ && !fieldFont_->glyphs.empty() ? fieldFont_ : nullptr;
  }

  const Face& FaceOf(const CharFormat& format) {
    for (auto& [f, face] : faces_)
      if (f == format) return face;
    faces_.emplace_back(format, Resolve(format));
    return faces_.back().second;
  }

  bool MakeCell(char32_t code, const CharFormat& format, Cell& cell) {
    const Face& face = FaceOf(format);
    cell.code = code;
    cell.color = format.color;
    cell.underline = format.underline;
    cell.ascent = face.ascent;
    cell.descent = face.descent;
    cell.size = format.size;
    if (!face.usable) return false;
    if (face.font) {
      auto it = face.font->glyphOfCode.find(code > 0xFFFF ? 0 : static_cast<uint16_t>(code));
      if (code > 0xFFFF || it == face.font->glyphOfCode.end()) return false;
      const uint32_t index = it->second;
      cell.scale = format.size / face.font->emSize;
      cell.outline = index < face.font->glyphs.size() ? face.font->glyphs[index].get() : nullptr;
      const double advance = index < face.font->advances.size() ? face.font->advances[index]
                             : cell.outline ? cell.outline->bounds.xMax : 0;
      cell.font = face.font;
      cell.emAdvance = advance;
      cell.spacing = format.letterSpacing;
      cell.kerning = format.kerning;
      cell.advance = Advance(cell, nullptr);
      return true;
    }
    const DeviceGlyphs::Glyph* glyph = device_ ? device_->Find(face.device, code) : nullptr;
    if (!glyph) return false;
    cell.device = true;
    cell.deviceOutline = glyph->outline;
    cell.outline = glyph->outline.get();
    cell.advance = glyph->advance + format.letterSpacing;
    return true;
  }

  // An embedded glyph's advance in twips, with the kerning towards `next`.
  // The reference player keeps positions in whole twips: the scaled advance
  // loses its fraction.
  static double Advance(const Cell& cell, const Cell* next) {
    double em = cell.emAdvance;
    if (cell.kerning && next && next->font == cell.font && cell.code <= 0xFFFF && next->code <= 0xFFFF) {
      auto it = cell.font->kerning.find({static_cast<uint16_t>(cell.code), static_cast<uint16_t>(next->code)});
      if (it != cell.font->kerning.end()) em += it->second;
    }
    return std::trunc(em * cell.scale) + cell.spacing;
  }

  // The cells of text[begin, end) with their formats.
  std::vector<Cell> Cells(size_t begin, size_t end) {
    std::vector<Cell> cells;
    for (const FormatRun& run : text_.runs) {
      const size_t from = std::max(run.begin, begin), to = std::min(run.end, end);
      for (size_t i = from; i < to; ++i) {
        Cell cell;
        const char32_t code = field_.password ? kPasswordChar : text_.text[i];
        if (MakeCell(code, run.format, cell)) cells.push_back(std::move(cell));
      }
    }
    for (size_t i = 0; i + 1 < cells.size(); ++i)
      if (cells[i].font && cells[i].kerning) cells[i].advance = Advance(cells[i], &cells[i + 1]);
    return cells;
  }

  // The format of the character at `index`, or of the last one before it.
  const CharFormat& FormatAt(size_t index) const {
    static const CharFormat kNone;
    const CharFormat* found = text_.runs.empty() ? &kNone : &text_.runs.front().format;
    for (const FormatRun& run : text_.runs)
      if (run.begin <= index) found = &run.format;
    return *found;
  }

  // Lines as [begin, end) of `cells`: at the last space before a cell that
  // would pass `width`, or before that cell when the line has no space.
  static std::vector<std::pair<size_t, size_t>> BreakLines(const std::vector<Cell>& cells, double firstWidth,
                                                           double width, bool wrap) {
    std::vector<std::pair<size_t, size_t>> lines;
    size_t start = 0, afterSpace = 0;
    double x = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
      const double limit = lines.empty() ? firstWidth : width;
      if (wrap && i > start && !IsSpace(cells[i].code) && x + cells[i].advance > limit) {
        const size_t end = afterSpace > start ? afterSpace : i;
        lines.emplace_back(start, end);
        start = end;
        afterSpace = start;
        x = 0;
        for (size_t k = start; k < i; ++k) x += cells[k].advance;
        --i;  // the cell is measured again on its new line
        continue;
      }
      x += cells[i].advance;
      if (IsSpace(cells[i].code)) afterSpace = i + 1;
    }
    lines.emplace_back(start, cells.size());
    return lines;
  }

  void LayOutParagraph(size_t begin, size_t end, const ParagraphFormat& para) {
    std::vector<Cell> cells = Cells(begin, end);
    const double bullet = para.bullet ? kBulletIndent : 0;
    const double left = out_.bounds.xMin + kTextGutter + para.leftMargin + para.blockIndent + bullet;
    const double room = out_.bounds.Width() - 2 * kTextGutter - para.leftMargin - para.rightMargin - para.blockIndent - bullet;
    const auto lines = BreakLines(cells, room - para.indent, room, field_.wordWrap);
    const Face empty = FaceOf(FormatAt(begin));
    for (size_t l = 0; l < lines.size(); ++l) {
      const auto [from, to] = lines[l];
      LaidLine line;
      line.ascent = from < to ? 0 : empty.ascent;
      line.descent = from < to ? 0 : empty.descent;
      size_t visibleEnd = from, spaces = 0;
      for (size_t i = from; i < to; ++i) {
        line.ascent = std::max(line.ascent, cells[i].ascent);
        line.descent = std::max(line.descent, cells[i].descent);
        if (!IsSpace(cells[i].code)) visibleEnd = i + 1;
      }
      for (size_t i = from; i < visibleEnd; ++i) {
        line.width += cells[i].advance;
        if (IsSpace(cells[i].code)) ++spaces;
      }
      const double start = left + (l == 0 ? para.indent : 0);
      const double space = room - (l == 0 ? para.indent : 0) - line.width;
      double x = start, stretch = 0;
      if (para.align == TextAlign::Right) x += space;
      if (para.align == TextAlign::Center) x += space / 2;
      // Justified lines fill the room, all but a paragraph's last.
      if (para.align == TextAlign::Justify && l + 1 < lines.size() && spaces > 0 && space > 0) stretch = space / spaces;
      line.left = x;
      line.baseline = y_ + line.ascent;
      if (para.bullet && l == 0) PlaceBullet(FormatAt(begin), left - bullet + para.indent, line.baseline);
      line.firstGlyph = out_.glyphs.size();
      PlaceCells(cells, from, visibleEnd, x, line.baseline, stretch);
      line.glyphCount = out_.glyphs.size() - line.firstGlyph;
      if (stretch > 0) line.width += stretch * spaces;
      out_.lines.push_back(line);
      y_ = line.baseline + line.descent + para.leading;
    }
  }

  void PlaceCells(std::vector<Cell>& cells, size_t from, size_t to, double x, double baseline, double stretch) {
    for (size_t i = from; i < to; ++i) {
      Cell& c = cells[i];
      if (c.outline && !c.outline->records.empty()) {
        LaidGlyph g;
        g.outline = c.outline;
        g.matrix = {c.scale, 0, 0, c.scale, x, baseline};
        if (c.device) g.matrix = Matrix::Translate(x, baseline);
        g.color = c.color;
        g.device = c.device;
        out_.glyphs.push_back(g);
        if (c.deviceOutline) out_.deviceOutlines.push_back(c.deviceOutline);
        out_.deviceText |= c.device;
      }
      const double next = x + c.advance + (IsSpace(c.code) ? stretch : 0);
      if (c.underline) {
        const double y0 = baseline + c.size * kUnderlineOffsetEm;
        out_.underlines.push_back({x, y0, next, y0 + kUnderlineThickness, c.color});
      }
      x = next;
    }
  }

  // The bullet of a list item, in the format its text starts with.
  void PlaceBullet(const CharFormat& format, double x, double baseline) {
    std::vector<Cell> bullet(1);
    if (MakeCell(kBullet, format, bullet[0])) PlaceCells(bullet, 0, 1, x, baseline, 0);
  }

  const EditText& field_;
  const FormattedText& text_;
  const Movie& movie_;
  DeviceGlyphs* device_;
  const Font* fieldFont_;
  std::deque<std::pair<CharFormat, Face>> faces_;  // references to them stay valid
  FieldLayout out_;
  double y_ = 0;
};

// The box an auto-sized field takes for its laid-out text.
Rect FittedBounds(const EditText& field, const FormattedText& text, const FieldLayout& layout) {
  Rect box = field.bounds;
  if (layout.lines.empty()) return box;
  const LaidLine& last = layout.lines.back();
  box.yMax = box.yMin + static_cast<int32_t>(std::ceil(last.baseline + last.descent - box.yMin + kTextGutter));
  if (field.wordWrap) return box;
  double widest = 0;
  for (const LaidLine& line : layout.lines) widest = std::max(widest, line.left + line.width - field.bounds.xMin);
  // The text's own width plus what the first line's start leaves free on the left.
  double leftRoom = layout.lines.front().left - field.bounds.xMin;
  for (const LaidLine& line : layout.lines) leftRoom = std::min(leftRoom, line.left - field.bounds.xMin);
  const double width = widest - leftRoom + 2 * kTextGutter;
  const int32_t w = static_cast<int32_t>(std::ceil(width));
  const TextAlign align = text.paragraphs.empty() ? field.align : text.paragraphs.front().align;
  if (align == TextAlign::Right) {
    box.xMin = box.xMax - w;
  } else if (align == TextAlign::Center) {
    box.xMin = field.bounds.xMin + (field.bounds.Width() - w) / 2;
    box.xMax = box.xMin + w;
  } else {
    box.xMax = box.xMin + w;
  }
  return box;
}

}  // namespace

FormattedText FieldText(const EditText& field, const Movie& movie) {
  return FieldText(field, DecodeMovieText(field.initialText, movie.version), movie);
}

FormattedText FieldText(const EditText& field, const std::u32string& text, const Movie& movie) {
  CharFormat format;
  const Font* font = FontOf(movie, field.fontId);
  if (font) {
    format.face = font->name;
    // HTML says the style of each run itself; plain text takes the font's.
    format.bold = font->bold && !field.html;
    format.italic = font->italic && !field.html;
  }
  format.size = field.height;
  format.color = field.color;
  ParagraphFormat para;
  para.align = field.align;
  para.leftMargin = field.leftMargin;
  para.rightMargin = field.rightMargin;
  para.indent = field.indent;
  para.leading = field.leading;
  return field.html ? ParseHtmlText(text, format, para) : PlainText(text, format, para);
}

FieldLayout LayOutField(const EditText& field, const FormattedText& text, const Movie& movie, DeviceGlyphs* device) {
  Layout layout(field, text, movie, device);
  FieldLayout first = layout.Run(field.bounds);
  if (!field.autoSize) return first;
  return layout.Run(FittedBounds(field, text, first));
}

}  // namespace velmora::swf
