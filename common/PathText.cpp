#include "common/PathText.h"

#include <algorithm>

namespace velmora {

std::string GetFileNamePart(std::string_view path) {
  const size_t slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ParentFolder(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string ExtensionOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(dot + 1));
}

std::string ToLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

namespace {

// "COM1" ... "COM9", "COM0" and the superscript digits 1 to 3 that the system
// also takes as port numbers; the same for "LPT".
bool IsPortNumber(std::string_view digit) {
  if (digit.size() == 1) return digit[0] >= '0' && digit[0] <= '9';
  return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

}  // namespace

bool IsReservedDeviceName(std::string_view name) {
  std::string stem = ToLower(name.substr(0, std::min(name.find_first_of(".:"), name.size())));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
  for (const char* device : kDevices)
    if (stem == device) return true;
  const std::string_view s(stem);
  return s.size() > 3 && (s.substr(0, 3) == "com" || s.substr(0, 3) == "lpt") &&
         IsPortNumber(s.substr(3));
}

std::vector<std::string> PathAndParents(std::string_view path) {
  std::string plain(path);
  if (plain.rfind("\\\\?\\UNC\\", 0) == 0)
    plain = "\\\\" + plain.substr(8);
  else if (plain.rfind("\\\\?\\", 0) == 0)
    plain = plain.substr(4);
  // The root: "C:\" or "\\server\share\".
  size_t rootEnd = std::string::npos;
  if (plain.size() >= 2 && plain[1] == ':') {
    rootEnd = 2;
  } else if (plain.rfind("\\\\", 0) == 0) {
    const size_t server = plain.find('\\', 2);
    if (server != std::string::npos && server > 2 && server + 1 < plain.size())
      rootEnd = std::min(plain.find('\\', server + 1), plain.size());
  }
  if (rootEnd == std::string::npos) return {};
  const std::string root = plain.substr(0, rootEnd) + "\\";
  while (plain.size() > rootEnd && plain.back() == '\\') plain.pop_back();
  std::vector<std::string> chain;
  while (plain.size() > rootEnd) {
    chain.push_back(plain);
    const size_t slash = plain.rfind('\\');
    if (slash == std::string::npos || slash < rootEnd) break;
    plain.resize(slash);
  }
  chain.push_back(root);
  return chain;
}

}  // namespace velmora
