// The HTML subset of text fields: formats pushed and restored, paragraphs,
// entities, tags left out, and damaged markup that still reads.
#include "player/swf/HtmlText.h"

#include <gtest/gtest.h>

#include <random>

namespace velmora::swf {
namespace {

FormattedText Html(const std::u32string& html) {
  CharFormat format;
  format.face = "Base";
  format.size = 240;
  return ParseHtmlText(html, format, ParagraphFormat{});
}

// The format of the character at `index`.
const CharFormat& At(const FormattedText& t, size_t index) {
  for (const FormatRun& r : t.runs)
    if (index >= r.begin && index < r.end) return r.format;
  static const CharFormat kNone;
  ADD_FAILURE() << "no run holds " << index;
  return kNone;
}

TEST(HtmlText, NestedFormatsApplyAndAreRestored) {
  const FormattedText t = Html(U"a<b>b<i>c<font face=\"Serif\" size=\"20\" color=\"#FF8000\">d</font>e</i></b>f");
  EXPECT_EQ(t.text, U"abcdef");
  EXPECT_FALSE(At(t, 0).bold);
  EXPECT_TRUE(At(t, 1).bold && !At(t, 1).italic);
  EXPECT_TRUE(At(t, 2).bold && At(t, 2).italic);
  EXPECT_EQ(At(t, 3).face, "Serif");
  EXPECT_DOUBLE_EQ(At(t, 3).size, 400);
  EXPECT_EQ(At(t, 3).color, (Rgba{255, 128, 0, 255}));
  EXPECT_EQ(At(t, 4).face, "Base");
  EXPECT_TRUE(At(t, 4).italic);
  EXPECT_FALSE(At(t, 5).bold || At(t, 5).italic);
  // Relative sizes count from the size in force, in pixels.
  const FormattedText r = Html(U"<font size=\"+3\">a<font size=\"-5\">b</font></font><u>c</u>");
  EXPECT_DOUBLE_EQ(At(r, 0).size, 300);
  EXPECT_DOUBLE_EQ(At(r, 1).size, 200);
  EXPECT_TRUE(At(r, 2).underline);
  // A closing tag closes what was opened inside it too.
  const FormattedText c = Html(U"<b>a<i>b</b>c");
  EXPECT_FALSE(At(c, 2).bold || At(c, 2).italic);
}

TEST(HtmlText, ParagraphsBreaksAndListItems) {
  const FormattedText t =
      Html(U"<p align=\"center\">one</p><p align=\"right\">two<br>three</p><li>four</li>"
           U"<textformat leftmargin=\"10\" indent=\"-2\" leading=\"3\"><p>five</p></textformat>");
  EXPECT_EQ(t.text, U"one\ntwo\nthree\nfour\nfive");
  ASSERT_EQ(t.paragraphs.size(), 5u);
  EXPECT_EQ(t.paragraphs[0].align, TextAlign::Center);
  EXPECT_EQ(t.paragraphs[1].align, TextAlign::Right);
  EXPECT_EQ(t.paragraphs[2].align, TextAlign::Right);  // <br> keeps the paragraph's format
  EXPECT_TRUE(t.paragraphs[3].bullet);
  EXPECT_EQ(t.paragraphs[3].align, TextAlign::Left);
  EXPECT_DOUBLE_EQ(t.paragraphs[4].leftMargin, 200);
  EXPECT_DOUBLE_EQ(t.paragraphs[4].indent, -40);
  EXPECT_DOUBLE_EQ(t.paragraphs[4].leading, 60);
  // An empty paragraph stays; line ends of the markup break lines.
  EXPECT_EQ(Html(U"<p>a</p><p></p><p>b</p>").text, U"a\n\nb");
  EXPECT_EQ(Html(U"a\r\nb\rc").text, U"a\nb\nc");
}

TEST(HtmlText, EntitiesAreDecodedOnceAndUnknownOnesKept) {
  EXPECT_EQ(Html(U"&amp;bg; &lt;&gt;&quot;&apos;&nbsp;&#65;&#x42;&#x1F600;").text,
            U"&bg; <>\"'\u00A0AB\U0001F600");
  EXPECT_EQ(Html(U"&foo; &#0; &#xD800; &#1114112; & ;&").text, U"&foo; &#0; &#xD800; &#1114112; & ;&");
  // In attribute values too.
  EXPECT_EQ(At(Html(U"<font face=\"A&amp;B\">x</font>"), 0).face, "A&B");
}

TEST(HtmlText, UnknownTagsAreLeftOutWithTheirContentKept) {
  const FormattedText t =
      Html(U"<a href=\"x\">link</a><span class='c'>s</span><img src=\"p.png\"/><!-- note --><blink>!</blink>");
  EXPECT_EQ(t.text, U"links!");
  EXPECT_EQ(Html(U"<B>a</B><FONT COLOR='#00ff00'>b</FONT>").runs.size(), 2u);
  EXPECT_TRUE(At(Html(U"<B>a</B>"), 0).bold);
}

TEST(HtmlText, DamagedMarkupReadsAsFarAsItMakesSense) {
  EXPECT_EQ(Html(U"a<b").text, U"a<b");          // no closing bracket: text
  EXPECT_EQ(Html(U"a</i>b</p>").text, U"ab");    // closings with nothing open
  EXPECT_EQ(Html(U"<font size=\"x\" color=\"#zz\">a</font>").runs[0].format.size, 240);
  EXPECT_EQ(Html(U"<p align=left>a</p>").text, U"a");
  EXPECT_EQ(Html(U"<font face=\"a>b\">c</font>").text, U"c");  // a bracket inside quotes
  // Deep nesting keeps its text and stays bounded.
  std::u32string deep;
  for (int i = 0; i < 10000; ++i) deep += U"<b><font size=\"+1\">";
  deep += U"x";
  const FormattedText d = Html(deep);
  EXPECT_EQ(d.text, U"x");
  // Random bytes and every prefix of a real text end without harm.
  const std::u32string real =
      U"<p align=\"justify\"><font face=\"Arial\" size=\"30\" color=\"#ff99cc\" letterSpacing=\"0.5\" "
      U"kerning=\"1\"><b>Bold</b> &amp; <i>it</i><br/><li>x</li></font></p>";
  for (size_t n = 0; n <= real.size(); ++n) {
    const FormattedText p = Html(real.substr(0, n));
    size_t covered = 0;
    for (const FormatRun& r : p.runs) covered += r.end - r.begin;
    EXPECT_EQ(covered, p.text.size()) << n;
  }
  std::mt19937 random(7);
  const char32_t pieces[] = {U'<', U'>', U'/', U'&', U'#', U';', U'"', U'=', U'p', U'b', U'x', U'\n', U' '};
  for (int round = 0; round < 500; ++round) {
    std::u32string noise;
    for (int i = 0; i < 40; ++i) noise.push_back(pieces[random() % std::size(pieces)]);
    const FormattedText p = Html(noise);
    EXPECT_EQ(p.paragraphs.size(), std::count(p.text.begin(), p.text.end(), U'\n') + 1u);
  }
}

TEST(HtmlText, MovieTextIsUtf8FromVersion6AndBytesBefore) {
  EXPECT_EQ(DecodeMovieText("\xC3\xA9\xE2\x82\xAC", 6), U"\u00E9\u20AC");
  EXPECT_EQ(DecodeMovieText("\xC3\xA9", 5), U"\u00C3\u00A9");
  EXPECT_EQ(DecodeMovieText("\xC3(\xE2\x82", 8), U"\u00C3(\u00E2\u0082");  // not UTF-8: bytes
  EXPECT_EQ(DecodeMovieText("\xC0\xAF", 8), U"\u00C0\u00AF");             // an overlong form
  const FormattedText plain = PlainText(U"a\r\nb\rc\n", CharFormat{}, ParagraphFormat{});
  EXPECT_EQ(plain.text, U"a\nb\nc\n");
  EXPECT_EQ(plain.paragraphs.size(), 4u);
}

}  // namespace
}  // namespace velmora::swf
