#include "common/WinText.h"

#include "common/PathText.h"
#include "common/Utf8.h"

#include <windows.h>

#include <vector>

namespace velmora {

std::wstring Wide(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string Utf8(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::string Utf8(const wchar_t* wide) { return wide ? Utf8(std::wstring_view(wide)) : std::string(); }

namespace {

// The absolute form of a path, "." and ".." resolved; "" when the system
// cannot make one.
std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::vector<wchar_t> full(needed);
  const DWORD n = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (n == 0 || n >= needed) return {};
  return std::wstring(full.data(), n);
}

}  // namespace

std::wstring SystemPath(std::string_view utf8Path) {
  std::wstring path = Wide(utf8Path);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path;
  const size_t slash = utf8Path.find_last_of("\\/");
  // A file named like a device ("aux.lnk") is reached only through the long
  // form: the plain path opens the device.
  const bool device =
      IsReservedDeviceName(slash == std::string_view::npos ? utf8Path : utf8Path.substr(slash + 1));
  // Directories may be 12 characters shorter than files; keep that margin.
  if (path.size() < MAX_PATH - 12 && !device) return path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  // The long form is taken literally: "." and ".." must be gone first. The
  // system would make a device's name "\\.\NAME": its folder is made
  // absolute and the name put back.
  std::wstring absolute;
  if (device) {
    const size_t cut = path.find_last_of(L'\\');
    const std::wstring folder = FullPath(cut == std::wstring::npos ? L"." : path.substr(0, cut + 1));
    if (folder.empty()) return L"\\\\?\\" + path;  // fails to open rather than reach the device
    absolute = folder + (folder.back() == L'\\' ? L"" : L"\\") +
               (cut == std::wstring::npos ? path : path.substr(cut + 1));
  } else {
    absolute = FullPath(path);
    if (absolute.empty()) return path;
  }
  if (absolute.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + absolute.substr(2);
  return L"\\\\?\\" + absolute;
}

std::string AnsiToUtf8(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                      nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return Utf8(wide);
}

bool Utf8ToAnsi(std::string_view utf8, std::string& ansi) {
  ansi.clear();
  if (utf8.empty()) return true;
  const std::wstring wide = Wide(utf8);
  BOOL lossy = FALSE;
  const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) return false;
  ansi.assign(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        ansi.data(), n, nullptr, &lossy);
  // The check that no character was replaced is the round trip itself.
  return !lossy && AnsiToUtf8(ansi) == utf8;
}

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
  return Utf8(text);
}

}  // namespace velmora
