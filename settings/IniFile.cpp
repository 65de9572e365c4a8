#include "settings/IniFile.h"

#include "common/FileSystem.h"
#include "common/WinText.h"
#include "settings/IniEncoding.h"
#include "settings/IniText.h"

namespace velmora {
namespace {

// The settings file is small; anything far larger is not one.
constexpr uint64_t kMaxIniBytes = uint64_t{64} << 20;

// The system's ANSI code page, read and written only where it converts
// both ways without loss.
const AnsiCodePage& SystemCodePage() {
  static const AnsiCodePage codePage{
      [](std::string_view bytes) -> std::optional<std::string> {
        std::string text = AnsiToUtf8(bytes), back;
        if (!Utf8ToAnsi(text, back) || back != bytes) return std::nullopt;
        return text;
      },
      [](std::string_view text) -> std::optional<std::string> {
        std::string bytes;
        if (!Utf8ToAnsi(text, bytes)) return std::nullopt;
        return bytes;
      }};
  return codePage;
}

// The file as read; an absent file is empty, one there but unreadable is nullopt.
std::optional<DecodedIni> Load(const std::string& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path, kMaxIniBytes);
  if (!bytes) return IsExistingFile(path) ? std::nullopt : std::optional<DecodedIni>(DecodedIni());
  return DecodedIni(*bytes, SystemCodePage());
}

}  // namespace

std::string GetIniString(const std::string& fileName, const std::string& section,
                         const std::string& key, const std::string& defaultValue) {
  const std::optional<DecodedIni> ini = Load(fileName);
  if (!ini) return defaultValue;
  return IniText(ini->Text()).Get(section, key).value_or(defaultValue);
}

bool WriteIniString(const std::string& fileName, const std::string& section,
                    const std::string& key, const std::string& value) {
  const std::optional<DecodedIni> ini = Load(fileName);
  if (!ini) return false;  // there but unreadable: leave it alone
  IniText text(ini->Text());
  if (text.Get(section, key) == value) return true;  // nothing to write
  if (!text.Set(section, key, value)) return false;
  // Nullopt when the change would lose bytes that could not be read.
  const std::optional<std::string> bytes = ini->Encode(text.Text(), SystemCodePage());
  return bytes && ReplaceWholeFile(fileName, *bytes);
}

}  // namespace velmora
