#include "player/swf/HtmlText.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace velmora::swf {
namespace {

constexpr double kTwipsPerPixel = 20;
// Deeper nesting keeps the format it has: a hostile text of a million
// "<b>" costs no memory beyond its own.
constexpr size_t kMaxOpenTags = 64;
// "&#x10FFFF;" is the longest entity worth reading.
constexpr size_t kMaxEntityLength = 10;
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr double kMaxFontPixels = 2000;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

char32_t LowerAscii(char32_t c) { return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c; }

std::string LowerName(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) out.push_back(c < 0x80 ? static_cast<char>(LowerAscii(c)) : '?');
  return out;
}

std::string Utf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// A number of the markup ("12", "+2", "-1.5"); false when there is none.
bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end != text.c_str() && value == value;
}

// "#RRGGBB" (or "0xRRGGBB"): the colour, opaque.
bool ParseColor(const std::string& text, Rgba& color) {
  std::string_view digits = text;
  if (!digits.empty() && digits[0] == '#')
    digits.remove_prefix(1);
  else if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
    digits.remove_prefix(2);
  if (digits.empty() || digits.size() > 6) return false;
  uint32_t value = 0;
  for (char c : digits) {
    const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0) return false;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  color = {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value), 255};
  return true;
}

struct Attribute {
  std::string name;  // lower case
  std::u32string value;
};

// The entity at `text[at]` (an '&'): its character and length, or 0.
size_t ReadEntity(std::u32string_view text, size_t at, char32_t& out) {
  const size_t semicolon = text.find(U';', at);
  if (semicolon == std::u32string_view::npos || semicolon - at > kMaxEntityLength) return 0;
  const std::string name = LowerName(text.substr(at + 1, semicolon - at - 1));
  static const std::pair<const char*, char32_t> kNamed[] = {
      {"amp", U'&'}, {"lt", U'<'}, {"gt", U'>'}, {"quot", U'"'}, {"apos", U'\''}, {"nbsp", 0xA0}};
  for (const auto& [entity, value] : kNamed)
    if (name == entity) {
      out = value;
      return semicolon - at + 1;
    }
  if (name.size() < 2 || name[0] != '#') return 0;
  const bool hex = name[1] == 'x';
  const std::string digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
  if (*end != '\0' || value == 0 || value > kLastCodePoint || IsSurrogate(static_cast<char32_t>(value))) return 0;
  out = static_cast<char32_t>(value);
  return semicolon - at + 1;
}

std::u32string DecodeEntities(std::u32string_view text) {
  std::u32string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = 0;
    const size_t length = text[i] == U'&' ? ReadEntity(text, i, c) : 0;
    if (length == 0) {
      out.push_back(text[i]);
      continue;
    }
    out.push_back(c);
    i += length - 1;
  }
  return out;
}

// The text appended so far, with its runs and paragraphs.
class TextBuilder {
 public:
  TextBuilder(const CharFormat& format, const ParagraphFormat& paragraph) : format_(format), paragraph_(paragraph) {
    out_.paragraphs.push_back(paragraph);
  }

  CharFormat& Format() { return format_; }
  ParagraphFormat& Paragraph() { return paragraph_; }
  bool AtParagraphStart() const { return out_.text.empty() || out_.text.back() == U'\n'; }
  // The paragraph being written takes the current paragraph format.
  void RestartParagraph() { out_.paragraphs.back() = paragraph_; }

  void Char(char32_t c) {
    if (c == U'\n') {
      Break(false);
      return;
    }
    closingBreak_ = false;
    Append(c);
  }
  // `closing`: the break of a closing paragraph tag, left out at the end.
  void Break(bool closing) {
    Append(U'\n');
    out_.paragraphs.push_back(paragraph_);
    closingBreak_ = closing;
  }

  FormattedText Finish() {
    if (closingBreak_) {
      out_.text.pop_back();
      out_.paragraphs.pop_back();
      if (--out_.runs.back().end == out_.runs.back().begin) out_.runs.pop_back();
    }
    return std::move(out_);
  }

 private:
  void Append(char32_t c) {
    if (out_.runs.empty() || !(out_.runs.back().format == format_))
      out_.runs.push_back({out_.text.size(), out_.text.size(), format_});
    out_.text.push_back(c);
    out_.runs.back().end = out_.text.size();
  }

  CharFormat format_;
  ParagraphFormat paragraph_;
  FormattedText out_;
  bool closingBreak_ = false;
};

class HtmlReader {
 public:
  HtmlReader(std::u32string_view html, const CharFormat& format, const ParagraphFormat& paragraph)
      : html_(html), builder_(format, paragraph) {}

  FormattedText Read() {
    size_t i = 0;
    while (i < html_.size()) {
      const char32_t c = html_[i];
      if (c == U'<') {
        const size_t end = TagEnd(i);
        if (end != std::u32string_view::npos) {
          Tag(html_.substr(i + 1, end - i - 1));
          i = end + 1;
          continue;
        }
      }
      char32_t decoded = 0;
      const size_t length = c == U'&' ? ReadEntity(html_, i, decoded) : 0;
      if (length > 0) {
        builder_.Char(decoded);
        i += length;
        continue;
      }
      // Line ends in the markup break lines as they do in plain text.
      if (c == U'\r' && i + 1 < html_.size() && html_[i + 1] == U'\n') ++i;
      builder_.Char(c == U'\r' ? U'\n' : c);
      ++i;
    }
    return builder_.Finish();
  }

 private:
  struct OpenTag {
    std::string name;
    CharFormat format;
    ParagraphFormat paragraph;
  };

  // The '>' closing the tag at `from`, past quoted values; npos when none.
  size_t TagEnd(size_t from) const {
    char32_t quote = 0;
    for (size_t i = from + 1; i < html_.size(); ++i) {
      const char32_t c = html_[i];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == U'"' || c == U'\'') {
        quote = c;
      } else if (c == U'>') {
        return i;
      }
    }
    return std::u32string_view::npos;
  }

  static bool IsNameChar(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || c == U'_' ||
           c == U'-' || c == U':';
  }
  static bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n'; }

  // The inside of a tag, without its angle brackets.
  void Tag(std::u32string_view body) {
    if (!body.empty() && (body[0] == U'!' || body[0] == U'?')) return;  // comments, declarations
    const bool closing = !body.empty() && body[0] == U'/';
    size_t i = closing ? 1 : 0;
    const size_t nameStart = i;
    while (i < body.size() && IsNameChar(body[i])) ++i;
    const std::string name = LowerName(body.substr(nameStart, i - nameStart));
    if (name.empty()) return;
    if (closing) {
      Close(name);
      return;
    }
    std::vector<Attribute> attributes = ReadAttributes(body.substr(i));
    const bool selfClosing = !body.empty() && body.back() == U'/';
    Open(name, attributes);
    if (selfClosing) Close(name);
  }

  std::vector<Attribute> ReadAttributes(std::u32string_view text) const {
    std::vector<Attribute> out;
    size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && !IsNameChar(text[i])) ++i;
      const size_t start = i;
      while (i < text.size() && IsNameChar(text[i])) ++i;
      if (i == start) break;
      Attribute a{LowerName(text.substr(start, i - start)), {}};
      while (i < text.size() && IsSpace(text[i])) ++i;
      if (i < text.size() && text[i] == U'=') {
        ++i;
        while (i < text.size() && IsSpace(text[i])) ++i;
        const char32_t quote = i < text.size() && (text[i] == U'"' || text[i] == U'\'') ? text[i] : 0;
        if (quote) ++i;
        const size_t valueStart = i;
        while (i < text.size() && (quote ? text[i] != quote : !IsSpace(text[i]) && text[i] != U'/')) ++i;
        a.value = DecodeEntities(text.substr(valueStart, i - valueStart));
        if (quote && i < text.size()) ++i;
      }
      out.push_back(std::move(a));
    }
    return out;
  }

  void Open(const std::string& name, const std::vector<Attribute>& attributes) {
    if (name == "br") {
      builder_.Break(false);
      return;
    }
    const bool paragraph = name == "p" || name == "li";
    const bool known = paragraph || name == "font" || name == "b" || name == "i" || name == "u" || name == "textformat";
    if (!known || open_.size() >= kMaxOpenTags) return;
    if (paragraph && !builder_.AtParagraphStart()) builder_.Break(false);
    open_.push_back({name, builder_.Format(), builder_.Paragraph()});
    CharFormat& format = builder_.Format();
    ParagraphFormat& para = builder_.Paragraph();
    if (name == "b") format.bold = true;
    if (name == "i") format.italic = true;
    if (name == "u") format.underline = true;
    if (name == "li") para.bullet = true;
    for (const Attribute& a : attributes) {
      if (name == "font") ApplyFontAttribute(a, format);
      if (name == "p" && a.name == "align") ApplyAlign(LowerName(a.value), para);
      if (name == "textformat") ApplyTextFormatAttribute(a, para);
    }
    if (paragraph || builder_.AtParagraphStart()) builder_.RestartParagraph();
  }

  void Close(const std::string& name) {
    auto it = std::find_if(open_.rbegin(), open_.rend(), [&](const OpenTag& t) { return t.name == name; });
    if (it == open_.rend()) return;  // a closing tag with no opening one
    const size_t index = static_cast<size_t>(open_.rend() - it) - 1;
    builder_.Format() = open_[index].format;
    builder_.Paragraph() = open_[index].paragraph;
    open_.resize(index);
    if (name == "p" || name == "li") builder_.Break(true);
  }

  static void ApplyFontAttribute(const Attribute& a, CharFormat& format) {
    const std::string value = Utf8(a.value);
    double number = 0;
    if (a.name == "face" && !value.empty()) {
      // A list of faces names the first.
      format.face = value.substr(0, value.find(','));
    } else if (a.name == "size" && ParseNumber(value, number)) {
      const bool relative = value[0] == '+' || value[0] == '-';
      const double pixels = relative ? format.size / kTwipsPerPixel + number : number;
      format.size = std::clamp(pixels, 0.0, kMaxFontPixels) * kTwipsPerPixel;
    } else if (a.name == "color") {
      ParseColor(value, format.color);
    } else if (a.name == "kerning" && ParseNumber(value, number)) {
      format.kerning = number != 0;
    } else if (a.name == "letterspacing" && ParseNumber(value, number)) {
      format.letterSpacing = std::clamp(number, -kMaxFontPixels, kMaxFontPixels) * kTwipsPerPixel;
    }
  }

  static void ApplyAlign(const std::string& value, ParagraphFormat& para) {
    if (value == "left") para.align = TextAlign::Left;
    if (value == "right") para.align = TextAlign::Right;
    if (value == "center") para.align = TextAlign::Center;
    if (value == "justify") para.align = TextAlign::Justify;
  }

  static void ApplyTextFormatAttribute(const Attribute& a, ParagraphFormat& para) {
    double number = 0;
    if (!ParseNumber(Utf8(a.value), number)) return;
    const double twips = std::clamp(number, -kMaxFontPixels, kMaxFontPixels) * kTwipsPerPixel;
    if (a.name == "leftmargin") para.leftMargin = std::max(0.0, twips);
    if (a.name == "rightmargin") para.rightMargin = std::max(0.0, twips);
    if (a.name == "indent") para.indent = twips;
    if (a.name == "blockindent") para.blockIndent = std::max(0.0, twips);
    if (a.name == "leading") para.leading = twips;
  }

  std::u32string_view html_;
  TextBuilder builder_;
  std::vector<OpenTag> open_;
};

}  // namespace

std::u32string DecodeMovieText(const std::string& bytes, uint8_t movieVersion) {
  std::u32string out;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  for (size_t i = 0; i < n;) {
    const unsigned char lead = b[i];
    size_t length = 0;
    char32_t c = 0;
    if (movieVersion >= 6 && lead >= 0xC2 && lead <= 0xF4) {
      length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
      c = lead & (0x3F >> (length - 1));
      for (size_t k = 1; k < length; ++k) {
        if (i + k >= n || (b[i + k] & 0xC0) != 0x80) {
          length = 0;
          break;
        }
        c = (c << 6) | (b[i + k] & 0x3F);
      }
      // Overlong forms, surrogates and values past the last code point are not UTF-8.
      static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
      if (length && (c < kLeast[length] || c > kLastCodePoint || IsSurrogate(c))) length = 0;
    }
    if (length == 0) {
      out.push_back(lead);
      ++i;
    } else {
      out.push_back(c);
      i += length;
    }
  }
  return out;
}

FormattedText PlainText(const std::u32string& text, const CharFormat& format, const ParagraphFormat& paragraph) {
  TextBuilder builder(format, paragraph);
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c == U'\r') {
      if (i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      c = U'\n';
    }
    builder.Char(c);
  }
  return builder.Finish();
}

FormattedText ParseHtmlText(const std::u32string& html, const CharFormat& format, const ParagraphFormat& paragraph) {
  return HtmlReader(html, format, paragraph).Read();
}

}  // namespace velmora::swf
