#include "tools/FontFileGlyphSource.h"

#include <cctype>
#include <cmath>

namespace velmora::tools {
namespace {

enum class Family { Sans, Serif, Mono };

std::string Lower(const std::string& text) {
  std::string out;
  for (char c : text) out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  return out;
}

Family FamilyOf(const std::string& face) {
  const std::string name = Lower(face);
  static const char* const kSerif[] = {"_serif", "times new roman", "times", "georgia", "serif", "dejavu serif"};
  static const char* const kMono[] = {"_typewriter", "courier new", "courier", "lucida console", "monospace",
                                      "dejavu sans mono"};
  for (const char* s : kSerif)
    if (name == s) return Family::Serif;
  for (const char* s : kMono)
    if (name == s) return Family::Mono;
  return Family::Sans;
}

}  // namespace

std::string FontFileGlyphSource::FileFor(const swf::DeviceFont& font, bool withItalic) {
  const Family family = FamilyOf(font.face);
  std::string file = family == Family::Serif ? "DejaVuSerif" : family == Family::Mono ? "DejaVuSansMono" : "DejaVuSans";
  const bool italic = font.italic && withItalic;
  const char* slant = family == Family::Serif ? "Italic" : "Oblique";
  if (font.bold || italic) file += "-";
  if (font.bold) file += "Bold";
  if (italic) file += slant;
  return file + ".ttf";
}

const TrueTypeFont* FontFileGlyphSource::FontFor(const swf::DeviceFont& font) {
  // The italic files are not in every installation: upright stands in.
  for (bool withItalic : {true, false}) {
    const std::string file = FileFor(font, withItalic);
    auto it = fonts_.find(file);
    if (it == fonts_.end()) {
      auto loaded = std::make_unique<TrueTypeFont>();
      if (!loaded->Load(folder_ + "/" + file)) loaded.reset();
      it = fonts_.emplace(file, std::move(loaded)).first;
    }
    if (it->second) return it->second.get();
    if (!font.italic) break;
  }
  return nullptr;
}

bool FontFileGlyphSource::Metrics(const swf::DeviceFont& font, swf::DeviceFontMetrics& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  const TrueTypeFont* f = FontFor(font);
  if (!f) return false;
  const double scale = font.emSize / f->UnitsPerEm();
  out.ascent = std::round(f->Ascent() * scale);
  out.descent = std::round(f->Descent() * scale);
  return true;
}

bool FontFileGlyphSource::Glyph(const swf::DeviceFont& font, char32_t code, swf::GlyphOutline& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  const TrueTypeFont* f = FontFor(font);
  if (!f) return false;
  const uint32_t glyph = f->GlyphIndex(code);
  if (glyph == 0) return false;
  if (!f->Outline(glyph, font.emSize, out)) return false;
  out.advance = std::round(out.advance);
  return true;
}

}  // namespace velmora::tools
