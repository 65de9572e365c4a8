// A text field's text with its formats: plain text in one format, or the
// subset of HTML that movies of Flash 6 to 8 write (<p align>, <font face size
// color>, <b>, <i>, <u>, <br>, <li>, <textformat>, the five named entities,
// &nbsp; and numeric ones). Tags it does not know are left out and their
// content kept; damaged markup never fails, it reads as far as it makes sense.
#pragma once

#include "player/swf/SwfMovie.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::swf {

struct CharFormat {
  std::string face;  // a font's name; empty for the field's own font
  double size = 240;  // twips per em
  Rgba color{0, 0, 0, 255};
  bool bold = false, italic = false, underline = false;
  double letterSpacing = 0;  // twips added after each character
  bool kerning = false;      // the embedded font's kerning pairs apply

  bool operator==(const CharFormat& o) const {
    return face == o.face && size == o.size && color == o.color && bold == o.bold && italic == o.italic &&
           underline == o.underline && letterSpacing == o.letterSpacing && kerning == o.kerning;
  }
};

struct ParagraphFormat {
  TextAlign align = TextAlign::Left;
  double leftMargin = 0, rightMargin = 0, indent = 0, blockIndent = 0;  // twips
  double leading = 0;  // twips added between lines
  bool bullet = false;
};

struct FormatRun {
  size_t begin = 0, end = 0;  // into FormattedText::text
  CharFormat format;
};

// Paragraphs are separated by U'\n' in `text`; `paragraphs` holds one format
// for each, `runs` cover the text in order.
struct FormattedText {
  std::u32string text;
  std::vector<FormatRun> runs;
  std::vector<ParagraphFormat> paragraphs;
};

// The movie's bytes as characters: UTF-8 from version 6 on (bytes that are
// not UTF-8 count as single characters), single bytes before.
std::u32string DecodeMovieText(const std::string& bytes, uint8_t movieVersion);

// Text whose line ends ("\r", "\n", "\r\n") start new paragraphs.
FormattedText PlainText(const std::u32string& text, const CharFormat& format, const ParagraphFormat& paragraph);

// HTML starting from the field's own formats.
FormattedText ParseHtmlText(const std::u32string& html, const CharFormat& format, const ParagraphFormat& paragraph);

}  // namespace velmora::swf
