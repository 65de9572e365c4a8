// The bytes of a settings file as text and back, in the file's own form:
// UTF-16 with its byte-order mark, UTF-8 with or without its mark (what
// Notepad saves), or the ANSI code page. No system call: the code page
// comes from the caller.
//
// A file without a mark is UTF-8 when it is well-formed UTF-8 and holds a
// byte of 0x80 or above; otherwise it is ANSI (plain ASCII reads the same
// either way). What cannot be read faithfully (bytes the code page has no
// exact character for, broken UTF-8, a lone UTF-16 surrogate) reads as
// U+FFFD; the bytes of such a line are kept as long as the line itself is
// not changed, and a change that would write U+FFFD for them is refused.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

enum class IniEncoding { kAnsi, kUtf8, kUtf8WithMark, kUtf16 };

// The system's ANSI code page.
struct AnsiCodePage {
  // The bytes as UTF-8; nullopt unless they convert back to the same bytes.
  std::function<std::optional<std::string>(std::string_view)> decode;
  // UTF-8 text in the code page; nullopt when a character has no exact form.
  std::function<std::optional<std::string>(std::string_view)> encode;
};

// The character that stands for what could not be read, as UTF-8.
inline constexpr std::string_view kUnreadableMark = "\xEF\xBF\xBD";

// The form a file's bytes are in (the empty file is ANSI).
IniEncoding DetectIniEncoding(std::string_view bytes);

// A settings file as read: its form and, line by line, the bytes of each
// line with its text (UTF-8, line break included).
class DecodedIni {
 public:
  DecodedIni() = default;  // an absent file
  DecodedIni(std::string_view bytes, const AnsiCodePage& ansi);

  IniEncoding Encoding() const { return encoding_; }
  std::string Text() const;
  // False when some bytes could not be read faithfully.
  bool Faithful() const { return faithful_; }

  // The bytes of `text` in the file's form: the lines before and after the
  // changed ones keep their bytes; the changed ones are encoded anew. An
  // ANSI file turns into UTF-16 when the new text needs characters the code
  // page lacks. Nullopt when the change would write U+FFFD in place of bytes
  // that could not be read.
  std::optional<std::string> Encode(std::string_view text, const AnsiCodePage& ansi) const;

 private:
  struct Line {
    std::string bytes;
    std::string text;
  };
  std::vector<Line> lines_;
  IniEncoding encoding_ = IniEncoding::kAnsi;
  bool faithful_ = true;
};

}  // namespace velmora
