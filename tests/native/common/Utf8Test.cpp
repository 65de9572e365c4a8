#include "common/Utf8.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Utf8, RoundTripsEveryPlane) {
  const std::string text = "a\xC3\xA9\xE5\x86\x99\xE7\x9C\x9F\xF0\x9F\x98\x80z";  // aé写真😀z
  const std::u16string units = Utf8ToUtf16(text);
  EXPECT_EQ(units, (std::u16string{u'a', 0xE9, 0x5199, 0x771F, 0xD83D, 0xDE00, u'z'}));
  EXPECT_EQ(Utf16ToUtf8(units), text);
  EXPECT_TRUE(IsValidUtf8(text));
}

TEST(Utf8, BrokenInputBecomesReplacementCharacters) {
  // A stray continuation byte, an overlong "/", a surrogate, a cut sequence.
  EXPECT_EQ(Utf8ToUtf16("\x80"), std::u16string(1, 0xFFFD));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), std::u16string(2, 0xFFFD));
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), std::u16string(3, 0xFFFD));
  EXPECT_EQ(Utf8ToUtf16("x\xE5\x86"), (std::u16string{u'x', 0xFFFD, 0xFFFD}));
  EXPECT_FALSE(IsValidUtf8("\xE5\x86"));
  EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD"));  // U+FFFD itself is a character
  // Lone surrogates from the system.
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'a'}), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00}), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace velmora
