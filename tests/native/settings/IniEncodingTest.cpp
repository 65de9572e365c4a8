// A settings file's bytes as text and back in the file's own form, and the
// media lists of such a file through a start's pruning.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/EntryList.h"
#include "settings/IniEncoding.h"
#include "settings/IniText.h"

namespace velmora {
namespace {

// A code page for the tests: bytes 0xA0-0xFF are U+00A0-U+00FF (so 0xE9 is
// "é"), bytes 0x80-0x9F have no character (as some bytes of real code pages).
const AnsiCodePage& TestCodePage() {
  static const AnsiCodePage codePage{
      [](std::string_view bytes) -> std::optional<std::string> {
        std::string text;
        for (char c : bytes) {
          const auto b = static_cast<unsigned char>(c);
          if (b >= 0x80 && b < 0xA0) return std::nullopt;
          if (b < 0x80) {
            text += c;
          } else {
            text += static_cast<char>(0xC0 | (b >> 6));
            text += static_cast<char>(0x80 | (b & 0x3F));
          }
        }
        return text;
      },
      [](std::string_view text) -> std::optional<std::string> {
        std::string bytes;
        for (size_t i = 0; i < text.size(); ++i) {
          const auto b = static_cast<unsigned char>(text[i]);
          if (b < 0x80) {
            bytes += text[i];
          } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size()) {
            const unsigned value =
                ((b & 0x1F) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F);
            if (value < 0xA0) return std::nullopt;
            bytes += static_cast<char>(value);
          } else {
            return std::nullopt;
          }
        }
        return bytes;
      }};
  return codePage;
}

const std::string kCafe = "caf\xC3\xA9.png";                // café.png
const std::string kJapan = "\xE6\x97\xA5\xE6\x9C\xAC.png";  // 日本.png
const std::string kNaive = "na\xC3\xAFve.png";              // naïve.png
const std::string kFolder = "C:\\Pictures\\";

std::string Entry(const std::string& name) { return name + "|" + kFolder + "*"; }

// What a start does with the file: the IMAGE list pruned of files that are
// not in `present`, written back when an entry went. The new bytes, or the
// old ones when nothing was written.
struct Pruned {
  int removed = 0;
  std::optional<std::string> bytes;
};
Pruned StartLikePrune(const std::string& bytes, const std::set<std::string>& present) {
  const DecodedIni ini(bytes, TestCodePage());
  IniText text(ini.Text());
  const PruneResult result =
      PruneEntryList(text.Get("IMAGE", "Path").value_or(""), "IMAGE", "C:\\App",
                     [&](const std::string& file) { return present.count(file) == 0; });
  if (result.removed == 0) return {0, bytes};
  EXPECT_TRUE(text.Set("IMAGE", "Path", result.list));
  return {result.removed, ini.Encode(text.Text(), TestCodePage())};
}

TEST(IniEncoding, RecognisesEachForm) {
  EXPECT_EQ(DetectIniEncoding(""), IniEncoding::kAnsi);
  EXPECT_EQ(DetectIniEncoding("[MAIN]\r\nWallInx=1\r\n"), IniEncoding::kAnsi);
  EXPECT_EQ(DetectIniEncoding("Path=" + Entry(kCafe) + Entry(kJapan)), IniEncoding::kUtf8);
  EXPECT_EQ(DetectIniEncoding("Path=caf\xE9.png"), IniEncoding::kAnsi);  // 0xE9 alone is no UTF-8
  EXPECT_EQ(DetectIniEncoding("x=\xC0\xAF"), IniEncoding::kAnsi);        // an overlong form
  EXPECT_EQ(DetectIniEncoding("x=" + kCafe.substr(0, 4)), IniEncoding::kAnsi);  // cut short
  EXPECT_EQ(DetectIniEncoding("\xEF\xBB\xBFx=1"), IniEncoding::kUtf8WithMark);
  EXPECT_EQ(DetectIniEncoding("\xEF\xBB\xBFx=\xE9"), IniEncoding::kUtf8WithMark);
  EXPECT_EQ(DetectIniEncoding(std::string("\xFF\xFEx\0", 4)), IniEncoding::kUtf16);
}

TEST(IniEncoding, Utf8WithoutMarkKeepsItsNamesAndStaysWithoutMark) {
  const std::string before = "[MAIN]\r\nWallInx=2\r\n[IMAGE]\r\nPath=" + Entry(kCafe) +
                             Entry(kJapan) + Entry(kNaive) + Entry("plain.png") +
                             "\r\nSpeedvalue=30\r\n";
  std::set<std::string> present;
  for (const std::string& name : {kCafe, kJapan, kNaive, std::string("plain.png")})
    present.insert(kFolder + name);
  const DecodedIni ini(before, TestCodePage());
  EXPECT_EQ(ini.Encoding(), IniEncoding::kUtf8);
  EXPECT_TRUE(ini.Faithful());
  EXPECT_EQ(ini.Text(), before);
  // All four are there: nothing is removed, nothing written.
  EXPECT_EQ(StartLikePrune(before, present).removed, 0);
  // One that is gone goes; the four stay, and the file is still UTF-8
  // without a mark, every other byte as it was.
  const std::string withGone = before.substr(0, before.find("plain")) + Entry("gone.png") +
                               before.substr(before.find("plain"));
  const Pruned pruned = StartLikePrune(withGone, present);
  EXPECT_EQ(pruned.removed, 1);
  ASSERT_TRUE(pruned.bytes);
  EXPECT_EQ(*pruned.bytes, before);
}

TEST(IniEncoding, AnsiKeepsItsNamesAndStaysAnsi) {
  const std::string cafeAnsi = "caf\xE9.png", naiveAnsi = "na\xEFve.png";
  const std::string before = "[IMAGE]\r\nPath=" + Entry(cafeAnsi) + Entry(naiveAnsi) + "\r\n";
  const DecodedIni ini(before, TestCodePage());
  EXPECT_EQ(ini.Encoding(), IniEncoding::kAnsi);
  EXPECT_EQ(IniText(ini.Text()).Get("IMAGE", "Path"), Entry(kCafe) + Entry(kNaive));
  const std::set<std::string> present = {kFolder + kCafe, kFolder + kNaive};
  EXPECT_EQ(StartLikePrune(before, present).removed, 0);
  const Pruned pruned = StartLikePrune(
      "[IMAGE]\r\nPath=" + Entry(cafeAnsi) + Entry("gone.png") + Entry(naiveAnsi) + "\r\n",
      present);
  EXPECT_EQ(pruned.removed, 1);
  ASSERT_TRUE(pruned.bytes);
  EXPECT_EQ(*pruned.bytes, before);  // 0xE9 and 0xEF, no mark, no UTF-16
}

TEST(IniEncoding, AnsiTurnsIntoUtf16OnlyForCharactersTheCodePageLacks) {
  const std::string before = "; caf\xE9\r\n[IMAGE]\r\nPath=" + Entry("caf\xE9.png") + "\r\n";
  const DecodedIni ini(before, TestCodePage());
  IniText text(ini.Text());
  ASSERT_TRUE(text.Set("MAIN", "WallInx", "2"));
  EXPECT_EQ(ini.Encode(text.Text(), TestCodePage()), before + "[MAIN]\r\nWallInx=2\r\n");
  ASSERT_TRUE(text.Set("IMAGE", "Path", Entry(kJapan)));
  const std::optional<std::string> bytes = ini.Encode(text.Text(), TestCodePage());
  ASSERT_TRUE(bytes);
  const DecodedIni after(*bytes, TestCodePage());
  EXPECT_EQ(after.Encoding(), IniEncoding::kUtf16);
  EXPECT_EQ(after.Text(), text.Text());
  EXPECT_EQ(bytes->substr(0, 6), std::string("\xFF\xFE;\0 \0", 6));
}

TEST(IniEncoding, MarkedFormsRoundTripAndKeepUnchangedLines) {
  for (const std::string& mark : {std::string("\xEF\xBB\xBF"), std::string("\xFF\xFE")}) {
    const std::string text = "[IMAGE]\r\nPath=" + Entry(kJapan) + "\r\n[MAIN]\nWallInx=1";
    std::string bytes = mark;
    if (mark.size() == 3) {
      bytes += text;
    } else {
      for (char16_t c : std::u16string(
               u"[IMAGE]\r\nPath=\u65E5\u672C.png|C:\\Pictures\\*\r\n[MAIN]\nWallInx=1")) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
      }
    }
    const DecodedIni ini(bytes, TestCodePage());
    EXPECT_TRUE(ini.Faithful());
    EXPECT_EQ(ini.Text(), text);
    EXPECT_EQ(ini.Encode(text, TestCodePage()), bytes);
    IniText changed(text);
    ASSERT_TRUE(changed.Set("MAIN", "WallInx", "2"));
    std::string expected = bytes;
    expected[expected.size() - (mark.size() == 3 ? 1 : 2)] = '2';  // the last character
    const std::optional<std::string> written = ini.Encode(changed.Text(), TestCodePage());
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, expected);
    EXPECT_EQ(DecodedIni(*written, TestCodePage()).Text(), changed.Text());
  }
}

// Bytes that cannot be read: each form marks them, keeps them while their
// line is not changed, and refuses a change that would write over them.
TEST(IniEncoding, UnreadableBytesAreKeptAndNeverWrittenOver) {
  const std::string utf16Lone("\xFF\xFEx\0=\0\x00\xD8\r\0\n\0", 12);  // x=<lone surrogate>
  const std::string cases[] = {
      "Other=\x81x\r\n[IMAGE]\r\nPath=" + Entry("caf\xE9.png") + Entry("bad\x81.png") + "\r\n",
      "\xEF\xBB\xBFOther=\xC3x\r\n[IMAGE]\r\nPath=" + Entry(kCafe) + Entry("bad\xC3.png") + "\r\n",
  };
  for (const std::string& before : cases) {
    const DecodedIni ini(before, TestCodePage());
    EXPECT_FALSE(ini.Faithful());
    const std::string path = IniText(ini.Text()).Get("IMAGE", "Path").value_or("");
    // The readable entry reads whole; the other holds U+FFFD.
    EXPECT_EQ(path.substr(0, Entry(kCafe).size()), Entry(kCafe));
    EXPECT_NE(path.find(kUnreadableMark), std::string::npos) << path;
    // A change elsewhere keeps the unreadable lines' bytes.
    IniText text(ini.Text());
    ASSERT_TRUE(text.Set("IMAGE", "Speedvalue", "30"));
    EXPECT_EQ(ini.Encode(text.Text(), TestCodePage()), before + "Speedvalue=30\r\n");
    // Everything is missing, yet the unreadable entry is not taken for gone,
    // and writing the list would lose its bytes: nothing is written.
    const Pruned pruned = StartLikePrune(before, {});
    EXPECT_EQ(pruned.removed, 1);
    EXPECT_EQ(pruned.bytes, std::nullopt);
  }
  const DecodedIni lone(utf16Lone, TestCodePage());
  EXPECT_FALSE(lone.Faithful());
  EXPECT_EQ(lone.Text(), "x=\xEF\xBF\xBD\r\n");
  EXPECT_EQ(lone.Encode("x=\xEF\xBF\xBD\r\n", TestCodePage()), utf16Lone);
  EXPECT_EQ(lone.Encode("x=\xEF\xBF\xBD\r\ny=1", TestCodePage()),
            utf16Lone + std::string("y\0=\0001\0", 6));
  EXPECT_EQ(lone.Encode("x=\xEF\xBF\xBDz\r\n", TestCodePage()), std::nullopt);
  const DecodedIni odd(std::string("\xFF\xFEx\0=\0y", 7), TestCodePage());
  EXPECT_FALSE(odd.Faithful());
  EXPECT_EQ(odd.Text(), "x=\xEF\xBF\xBD");
}

}  // namespace
}  // namespace velmora
