// Reading and writing keys of a private-profile (.ini) file, kept in the
// form it is in (settings/IniEncoding: ANSI, turning into UTF-16 once a
// value needs characters the ANSI code page lacks; UTF-8 with or without its
// mark; UTF-16). Text is UTF-8 on both sides.
//
// The file is never held open. It is read and parsed once and read again
// only when it changed: when its stamp (where it lies, its size, the time it
// was last written) differs from the one it had, or when it was written too
// recently for that time to tell a later change apart; a file written here
// is known without reading it. A write always reads the file first, so that
// nothing another program wrote meanwhile is lost. Section and key names
// match without regard to case. A write replaces the whole file safely and
// changes only the lines of its keys; values of any length survive.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The file's text as read at one moment.
class IniSnapshot {
 public:
  virtual ~IniSnapshot() = default;
  // The stored value; nullopt when the key (or the file) is absent. A key
  // present with nothing after "=" gives the empty text.
  virtual std::optional<std::string> Get(std::string_view section, std::string_view key) const = 0;
  // A number of its own for every content a file had (a new one after a
  // write or a change seen).
  virtual uint64_t Version() const = 0;
};

// The file as it is now (an absent or unreadable one holds no keys).
std::shared_ptr<const IniSnapshot> ReadIniFile(const std::string& fileName);

// The stored value, or `defaultValue` when the key or the file is absent.
std::string GetIniString(const std::string& fileName, const std::string& section,
                         const std::string& key, const std::string& defaultValue);

struct IniValue {
  std::string section, key, value;
};

// Writes the keys whose values differ, in one replacement of the file;
// creates the file and sections when needed. Every key is tried: one that
// cannot be written (a value with a line break, a change that would lose
// bytes of the file that could not be read) is left as it was and the others
// are written. False when any key was not written, or the file could not be
// replaced (it stays as it was then).
bool WriteIniValues(const std::string& fileName, const std::vector<IniValue>& values);

// One key, as WriteIniValues.
bool WriteIniString(const std::string& fileName, const std::string& section,
                    const std::string& key, const std::string& value);

// How many times the bytes of a settings file were read from the disk.
uint64_t IniFileReads();

}  // namespace velmora
