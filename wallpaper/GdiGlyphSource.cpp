#include "wallpaper/GdiGlyphSource.h"

#include "common/Utf8.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmora {
namespace {

// Faces tried in order for the movie's generic names and as the last resort.
const wchar_t* const kSans[] = {L"Arial", L"Tahoma", L"Segoe UI", L"Microsoft Sans Serif", L"Verdana",
                                L"DejaVu Sans", L"Liberation Sans"};
const wchar_t* const kSerif[] = {L"Times New Roman", L"Georgia", L"DejaVu Serif", L"Liberation Serif"};
const wchar_t* const kTypewriter[] = {L"Courier New", L"Consolas", L"Lucida Console", L"DejaVu Sans Mono",
                                      L"Liberation Mono", L"Courier"};
// A glyph outline larger than this is damage (GDI reports the size first).
constexpr DWORD kMaxOutlineBytes = 1u << 20;
constexpr int kLargestPixelSize = 2000;

double Fixed(const FIXED& f) { return f.value + f.fract / 65536.0; }

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

// GDI's outline records (y up) as pieces (y down), scaled by `scale`.
void ReadOutline(const std::vector<char>& buffer, double scale, swf::GlyphOutline& out) {
  using Piece = swf::GlyphOutline::Piece;
  auto at = [&](const POINTFX& p) { return swf::Point{Fixed(p.x) * scale, -Fixed(p.y) * scale}; };
  size_t offset = 0;
  while (offset + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
    TTPOLYGONHEADER header;
    std::copy_n(buffer.data() + offset, sizeof header, reinterpret_cast<char*>(&header));
    if (header.cb < sizeof header || header.cb > buffer.size() - offset) return;
    const size_t end = offset + header.cb;
    const swf::Point start = at(header.pfxStart);
    out.pieces.push_back({Piece::Kind::Move, {}, start});
    swf::Point pen = start;
    size_t curve = offset + sizeof header;
    while (curve + offsetof(TTPOLYCURVE, apfx) <= end) {
      TTPOLYCURVE head;
      std::copy_n(buffer.data() + curve, offsetof(TTPOLYCURVE, apfx), reinterpret_cast<char*>(&head));
      const size_t points = head.cpfx;
      const size_t bytes = offsetof(TTPOLYCURVE, apfx) + points * sizeof(POINTFX);
      if (points == 0 || bytes > end - curve) break;
      std::vector<POINTFX> p(points);
      std::copy_n(buffer.data() + curve + offsetof(TTPOLYCURVE, apfx), points * sizeof(POINTFX),
                  reinterpret_cast<char*>(p.data()));
      if (head.wType == TT_PRIM_LINE) {
        for (const POINTFX& q : p) out.pieces.push_back({Piece::Kind::Line, {}, pen = at(q)});
      } else {
        // A quadratic B-spline: between two control points lies an implied
        // point on the curve; the last point is on it.
        for (size_t i = 0; i + 1 < points; ++i) {
          const swf::Point control = at(p[i]);
          const swf::Point to = i + 2 < points ? swf::Point{(control.x + at(p[i + 1]).x) / 2, (control.y + at(p[i + 1]).y) / 2}
                                               : at(p[i + 1]);
          out.pieces.push_back({Piece::Kind::Curve, control, pen = to});
        }
      }
      curve += bytes;
    }
    if (pen.x != start.x || pen.y != start.y) out.pieces.push_back({Piece::Kind::Line, {}, start});
    offset = end;
  }
}

}  // namespace

GdiGlyphSource::GdiGlyphSource() : dc_(::CreateCompatibleDC(nullptr)) {}

bool GdiGlyphSource::HasFace(const std::wstring& face) {
  auto it = faces_.find(face);
  if (it != faces_.end()) return it->second;
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  const size_t length = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
  std::copy_n(face.c_str(), length, query.lfFaceName);
  bool found = false;
  if (dc_) ::EnumFontFamiliesExW(dc_.get(), &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  faces_.emplace(face, found);
  return found;
}

std::wstring GdiGlyphSource::FaceFor(const std::string& face) {
  std::lock_guard<std::mutex> lock(mutex_);
  return MappedFace(face);
}

std::wstring GdiGlyphSource::MappedFace(const std::string& face) {
  auto it = mapped_.find(face);
  if (it != mapped_.end()) return it->second;
  std::wstring chosen;
  auto first = [&](const auto& list) {
    for (const wchar_t* candidate : list)
      if (HasFace(candidate)) return std::wstring(candidate);
    return std::wstring();
  };
  if (face == "_serif") {
    chosen = first(kSerif);
  } else if (face == "_typewriter") {
    chosen = first(kTypewriter);
  } else if (face != "_sans") {
    const std::u16string wide = Utf8ToUtf16(face);
    const std::wstring named(wide.begin(), wide.end());
    if (!named.empty() && HasFace(named)) chosen = named;
  }
  if (chosen.empty()) chosen = first(kSans);
  mapped_.emplace(face, chosen);
  return chosen;
}

bool GdiGlyphSource::Select(const swf::DeviceFont& font) {
  if (!dc_) return false;
  if (anySelected_ && !(font < selectedFor_) && !(selectedFor_ < font)) return true;
  const std::wstring face = MappedFace(font.face);
  if (face.empty()) return false;
  LOGFONTW lf{};
  pixelSize_ = std::clamp(static_cast<int>(std::lround(font.emSize)), 1, kLargestPixelSize);
  lf.lfHeight = -pixelSize_;  // negative: the em, not the cell
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  std::copy_n(face.c_str(), std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1)), lf.lfFaceName);
  selected_.reset();  // the old font goes back out of the DC before it is deleted
  font_.reset(::CreateFontIndirectW(&lf));
  anySelected_ = false;
  if (!font_) return false;
  selected_ = SelectInto(dc_.get(), font_.get());
  if (!selected_) return false;
  selectedFor_ = font;
  anySelected_ = true;
  return true;
}

bool GdiGlyphSource::Metrics(const swf::DeviceFont& font, swf::DeviceFontMetrics& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  TEXTMETRICW tm;
  if (!Select(font) || !::GetTextMetricsW(dc_.get(), &tm)) return false;
  const double scale = font.emSize / pixelSize_;
  out.ascent = tm.tmAscent * scale;
  out.descent = tm.tmDescent * scale;
  return true;
}

bool GdiGlyphSource::Glyph(const swf::DeviceFont& font, char32_t code, swf::GlyphOutline& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  out = swf::GlyphOutline();
  // Characters beyond the basic plane take two UTF-16 units, which one
  // glyph call cannot name.
  if (code > 0xFFFF || !Select(font)) return false;
  const wchar_t unit = static_cast<wchar_t>(code);
  WORD index = 0;
  if (::GetGlyphIndicesW(dc_.get(), &unit, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR || index == 0xFFFF)
    return false;
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS gm{};
  const UINT format = GGO_NATIVE | GGO_UNHINTED;
  const DWORD size = ::GetGlyphOutlineW(dc_.get(), unit, format, &gm, 0, nullptr, &identity);
  if (size == GDI_ERROR || size > kMaxOutlineBytes) return false;
  const double scale = font.emSize / pixelSize_;
  out.advance = gm.gmCellIncX * scale;
  if (size == 0) return true;  // a blank: only its advance
  std::vector<char> buffer(size);
  if (::GetGlyphOutlineW(dc_.get(), unit, format, &gm, size, buffer.data(), &identity) == GDI_ERROR) return false;
  ReadOutline(buffer, scale, out);
  return true;
}

}  // namespace velmora
