#include "tests/wine/DesktopFixture.h"

#include "common/WinText.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cctype>
#include <cstring>

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

std::vector<std::wstring> Captions(HMENU menu) {
  std::vector<std::wstring> captions;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    std::wstring caption;
    for (const wchar_t* c = text; *c; ++c)
      if (*c != L'&') caption += *c;
    captions.push_back(caption);
  }
  return captions;
}

UINT IdOf(HMENU menu, const std::wstring& caption) {
  const std::vector<std::wstring> captions = Captions(menu);
  for (size_t i = 0; i < captions.size(); ++i)
    if (captions[i] == caption) return ::GetMenuItemID(menu, static_cast<int>(i));
  return 0;
}

HDROP MakeDrop(const std::vector<std::string>& paths) {
  std::wstring names;
  for (const std::string& path : paths) names += Wide(path) + L'\0';
  names += L'\0';
  const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  const HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!block) return nullptr;
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(),
              names.size() * sizeof(wchar_t));
  ::GlobalUnlock(block);
  return static_cast<HDROP>(block);
}

ShortcutFacts ReadShortcut(const std::string& link) {
  ShortcutFacts facts;
  ComPtr<IShellLinkW> shortcut;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shortcut.put()))))
    return facts;
  const ComPtr<IPersistFile> file = QueryAs<IPersistFile>(shortcut.get(), IID_IPersistFile);
  if (!file || FAILED(file->Load(SystemPath(link).c_str(), STGM_READ))) return facts;
  wchar_t text[MAX_PATH] = {};
  if (SUCCEEDED(shortcut->GetPath(text, MAX_PATH, nullptr, 0))) facts.target = Utf8(text);
  if (SUCCEEDED(shortcut->GetWorkingDirectory(text, MAX_PATH))) facts.workingFolder = Utf8(text);
  return facts;
}

void DropDesktopTest::Drop(const std::vector<std::string>& paths, const std::wstring& caption) {
  Answer(caption);
  const HDROP drop = MakeDrop(paths);
  ASSERT_NE(drop, nullptr);
  ASSERT_TRUE(::PostMessageW(Layer().hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0));
  PumpFor(std::chrono::milliseconds(300));
}

void DropDesktopTest::Answer(const std::wstring& caption) {
  dropMenus = 0;
  session->Menus().SetMenuChooser([this, caption](HMENU menu) {
    ++dropMenus;
    dropCaptions = Captions(menu);
    return static_cast<int>(IdOf(menu, caption));
  });
}

}  // namespace velmora::test
