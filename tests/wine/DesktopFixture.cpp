#include "tests/wine/DesktopFixture.h"

#include "common/WinText.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cctype>

namespace velmora::test {

uint32_t At(const CDIB& s, int x, int y) {  // premultiplied 0xAARRGGBB
  const uint8_t* p = s.lpBits() + (s.Height() - 1 - y) * s.BytesPerScanline() + 4 * x;
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool Opaque(uint32_t p) { return (p >> 24) > 150; }
bool HighlightBlue(uint32_t p) {
  const int r = (p >> 16) & 255, b = p & 255;
  return (p >> 24) >= 60 && b > r + 25;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

void EmptyFolder(const std::string& dir) {
  WIN32_FIND_DATAA found;
  const HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = dir + "\\" + name;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      EmptyFolder(path);
      ::RemoveDirectoryA(path.c_str());
    } else {
      ::DeleteFileA(path.c_str());
    }
  } while (::FindNextFileA(h, &found));
  ::FindClose(h);
}

bool MakeShortcut(const std::string& lnk, const std::string& target) {
  ComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.put()))))
    return false;
  link->SetPath(Wide(target).c_str());
  const ComPtr<IPersistFile> file = QueryAs<IPersistFile>(link.get(), IID_IPersistFile);
  return file && SUCCEEDED(file->Save(Wide(lnk).c_str(), TRUE));
}

}  // namespace velmora::test
