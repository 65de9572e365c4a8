#include "settings/IniFile.h"

#include "common/FileSystem.h"
#include "common/Utf8.h"
#include "common/WinText.h"
#include "settings/IniText.h"

namespace velmora {
namespace {

// The settings file is small; anything far larger is not one.
constexpr uint64_t kMaxIniBytes = uint64_t{64} << 20;

enum class Encoding { kAnsi, kUtf8, kUtf16 };

constexpr char kUtf16Mark[] = "\xFF\xFE";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

struct LoadedIni {
  std::string text;  // UTF-8
  Encoding encoding = Encoding::kAnsi;
};

// The file as UTF-8 text, from whichever form the system's profile
// functions read: UTF-16 with its byte-order mark, UTF-8 with its mark, or
// the ANSI code page. An absent file is empty.
std::optional<LoadedIni> Load(const std::string& path) {
  LoadedIni ini;
  const std::optional<std::string> bytes = ReadWholeFile(path, kMaxIniBytes);
  if (!bytes) return IsExistingFile(path) ? std::nullopt : std::optional<LoadedIni>(ini);
  if (bytes->rfind(kUtf16Mark, 0) == 0) {
    std::u16string units((bytes->size() - 2) / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
      units[i] = static_cast<char16_t>(static_cast<uint8_t>((*bytes)[2 + 2 * i]) |
                                       static_cast<uint8_t>((*bytes)[3 + 2 * i]) << 8);
    ini.text = Utf16ToUtf8(units);
    ini.encoding = Encoding::kUtf16;
  } else if (bytes->rfind(kUtf8Mark, 0) == 0) {
    ini.text = bytes->substr(3);
    ini.encoding = Encoding::kUtf8;
  } else {
    ini.text = AnsiToUtf8(*bytes);
  }
  return ini;
}

// The bytes to store: the file's own form, except that text the ANSI code
// page cannot hold turns an ANSI file into UTF-16 (which the profile
// functions read as well), so that no character is lost.
std::string Encode(const std::string& text, Encoding encoding) {
  if (encoding == Encoding::kUtf8) return kUtf8Mark + text;
  std::string ansi;
  if (encoding == Encoding::kAnsi && Utf8ToAnsi(text, ansi)) return ansi;
  const std::u16string units = Utf8ToUtf16(text);
  std::string bytes(kUtf16Mark, 2);
  bytes.reserve(2 + 2 * units.size());
  for (char16_t unit : units) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

}  // namespace

std::string GetIniString(const std::string& fileName, const std::string& section,
                         const std::string& key, const std::string& defaultValue) {
  const std::optional<LoadedIni> ini = Load(fileName);
  if (!ini) return defaultValue;
  return IniText(ini->text).Get(section, key).value_or(defaultValue);
}

bool WriteIniString(const std::string& fileName, const std::string& section,
                    const std::string& key, const std::string& value) {
  const std::optional<LoadedIni> ini = Load(fileName);
  if (!ini) return false;  // there but unreadable: leave it alone
  IniText text(ini->text);
  if (text.Get(section, key) == value) return true;  // nothing to write
  if (!text.Set(section, key, value)) return false;
  return ReplaceWholeFile(fileName, Encode(text.Text(), ini->encoding));
}

}  // namespace velmora
