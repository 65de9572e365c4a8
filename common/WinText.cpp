#include "common/WinText.h"

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

std::wstring SystemPath(std::string_view utf8Path) {
  std::wstring path = Wide(utf8Path);
  // Directories may be 12 characters shorter than files; keep that margin.
  if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  // The long form is taken literally: "." and ".." must be gone first.
  const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::vector<wchar_t> full(needed);
  const DWORD n = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (n == 0 || n >= needed) return path;
  const std::wstring absolute(full.data(), n);
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
