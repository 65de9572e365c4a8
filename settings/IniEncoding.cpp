#include "settings/IniEncoding.h"

#include <algorithm>
#include <cstdint>

#include "common/Utf8.h"

namespace velmora {
namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<uint8_t>(c) < 0x80; });
}

std::string_view MarkOf(IniEncoding encoding) {
  if (encoding == IniEncoding::kUtf16) return kUtf16Mark;
  if (encoding == IniEncoding::kUtf8WithMark) return kUtf8Mark;
  return {};
}

// The text split after each line break; the last line may have none.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    const size_t length = newline == std::string_view::npos ? text.size() : newline + 1;
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

// One line in the ANSI code page. When the line as a whole does not read
// back, each list entry is tried alone ("*" ends an entry and is never the
// second byte of a double-byte character), so one unreadable name does not
// take the others with it; what still fails keeps its ASCII and marks each
// other byte.
std::string DecodeAnsiLine(std::string_view bytes, const AnsiCodePage& ansi, bool& faithful) {
  if (IsAscii(bytes)) return std::string(bytes);
  if (std::optional<std::string> text = ansi.decode(bytes)) return *text;
  faithful = false;
  std::string text;
  while (!bytes.empty()) {
    const size_t star = bytes.find('*');
    const std::string_view piece =
        bytes.substr(0, star == std::string_view::npos ? bytes.size() : star + 1);
    bytes.remove_prefix(piece.size());
    if (IsAscii(piece)) {
      text += piece;
    } else if (std::optional<std::string> decoded = ansi.decode(piece)) {
      text += *decoded;
    } else {
      for (char c : piece) {
        if (static_cast<uint8_t>(c) < 0x80)
          text += c;
        else
          text += kUnreadableMark;
      }
    }
  }
  return text;
}

std::string DecodeUtf8Line(std::string_view bytes, bool& faithful) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  faithful = false;
  return Utf16ToUtf8(Utf8ToUtf16(bytes));  // each broken byte becomes U+FFFD
}

// Little-endian UTF-16 bytes, an even number of them.
std::string DecodeUtf16Line(std::string_view bytes, bool& faithful) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                     static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  std::string text = Utf16ToUtf8(units);
  if (Utf8ToUtf16(text) != units) faithful = false;  // a lone surrogate
  return text;
}

std::optional<std::string> EncodeLine(std::string_view text, IniEncoding encoding,
                                      const AnsiCodePage& ansi) {
  switch (encoding) {
    case IniEncoding::kAnsi:
      if (IsAscii(text)) return std::string(text);
      return ansi.encode(text);
    case IniEncoding::kUtf16: {
      std::string bytes;
      for (char16_t unit : Utf8ToUtf16(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
      }
      return bytes;
    }
    default:
      return std::string(text);
  }
}

}  // namespace

IniEncoding DetectIniEncoding(std::string_view bytes) {
  if (bytes.substr(0, 2) == kUtf16Mark) return IniEncoding::kUtf16;
  if (bytes.substr(0, 3) == kUtf8Mark) return IniEncoding::kUtf8WithMark;
  if (!IsAscii(bytes) && IsValidUtf8(bytes)) return IniEncoding::kUtf8;
  return IniEncoding::kAnsi;
}

DecodedIni::DecodedIni(std::string_view bytes, const AnsiCodePage& ansi)
    : encoding_(DetectIniEncoding(bytes)) {
  bytes.remove_prefix(MarkOf(encoding_).size());
  if (encoding_ == IniEncoding::kUtf16) {
    while (bytes.size() >= 2) {
      size_t end = 0;
      while (end + 1 < bytes.size() && !(bytes[end] == '\n' && bytes[end + 1] == '\0')) end += 2;
      end = std::min(end + 2, bytes.size() & ~size_t{1});
      lines_.push_back(
          {std::string(bytes.substr(0, end)), DecodeUtf16Line(bytes.substr(0, end), faithful_)});
      bytes.remove_prefix(end);
    }
    if (!bytes.empty()) {  // half a unit at the end
      faithful_ = false;
      if (lines_.empty()) lines_.push_back({});
      lines_.back().bytes += bytes;
      lines_.back().text += kUnreadableMark;
    }
    return;
  }
  for (std::string_view line : SplitLines(bytes)) {
    std::string text = encoding_ == IniEncoding::kAnsi ? DecodeAnsiLine(line, ansi, faithful_)
                                                       : DecodeUtf8Line(line, faithful_);
    lines_.push_back({std::string(line), std::move(text)});
  }
}

std::string DecodedIni::Text() const {
  std::string text;
  for (const Line& line : lines_) text += line.text;
  return text;
}

std::optional<std::string> DecodedIni::Encode(std::string_view text,
                                              const AnsiCodePage& ansi) const {
  const std::vector<std::string_view> lines = SplitLines(text);
  const size_t shorter = std::min(lines.size(), lines_.size());
  size_t before = 0, after = 0;  // lines kept as they were, at the start and at the end
  while (before < shorter && lines_[before].text == lines[before]) ++before;
  while (after < shorter - before &&
         lines_[lines_.size() - 1 - after].text == lines[lines.size() - 1 - after])
    ++after;
  const auto encodeAll = [&](IniEncoding encoding, size_t from,
                             size_t to) -> std::optional<std::string> {
    std::string bytes;
    for (size_t i = from; i < to; ++i) {
      // U+FFFD here may stand for bytes of the file that could not be read.
      if (!faithful_ && lines[i].find(kUnreadableMark) != std::string_view::npos)
        return std::nullopt;
      std::optional<std::string> line = EncodeLine(lines[i], encoding, ansi);
      if (!line) return std::nullopt;
      bytes += *line;
    }
    return bytes;
  };
  std::optional<std::string> changed = encodeAll(encoding_, before, lines.size() - after);
  if (!changed && encoding_ == IniEncoding::kAnsi) {
    // Characters the code page lacks: the whole file in UTF-16, which the
    // system's profile functions read as well.
    std::optional<std::string> whole = encodeAll(IniEncoding::kUtf16, 0, lines.size());
    if (!whole) return std::nullopt;
    return std::string(kUtf16Mark) + *whole;
  }
  if (!changed) return std::nullopt;
  std::string bytes(MarkOf(encoding_));
  for (size_t i = 0; i < before; ++i) bytes += lines_[i].bytes;
  bytes += *changed;
  for (size_t i = lines_.size() - after; i < lines_.size(); ++i) bytes += lines_[i].bytes;
  return bytes;
}

}  // namespace velmora
