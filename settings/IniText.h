// The text of a private-profile (.ini) file, read and changed one key at a
// time the way the system's profile functions read it, while every line that
// is not changed keeps its bytes.
//
// How the text is read: a line whose first non-blank character is "[" and
// that holds a "]" names a section (the text between "[" and the last "]").
// Any other line is a key: the text before its first "=" (blanks around it
// dropped) is the name, the text after it (blanks around it dropped) the
// value; a line without "=" has no value. Names match without regard to
// case; the first section of a name and the first key of a name in it count.
// A value enclosed in a pair of the same quotes (' or ") is read without them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class IniText {
 public:
  explicit IniText(std::string text = {});

  // The value of `key` in `section`; nullopt when the section, the key or
  // its "=" is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Sets one value: the key's line is rewritten after its "=", a new key goes
  // after the last line of its section, a new section at the end of the text.
  // False, changing nothing, for a value that holds a line break (it would
  // become lines of its own) or a name that could not be read back.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  const std::string& Text() const { return text_; }

 private:
  struct Line {
    size_t begin = 0, end = 0;  // the line without its line break
    size_t next = 0;            // where the following line starts
  };
  struct Found {
    std::optional<size_t> section;  // index of the section's header line
    std::optional<size_t> key;      // index of the key's line
    size_t lastOfSection = 0;       // last non-blank line of the section
  };
  std::vector<Line> Lines() const;
  Found Find(const std::vector<Line>& lines, std::string_view section,
             std::string_view key) const;
  std::string_view LineBreak() const;

  std::string text_;
};

}  // namespace velmora
