#include "shell/ShellItemIcon.h"

#include "shell/ItemContextMenu.h"

#include <shellapi.h>

namespace velmora {

HICON ShellItemIcon(const std::string& text) {
  const UniqueTaskMemory<ITEMIDLIST> list = GetPidlFromPath(nullptr, text);
  if (!list) return nullptr;
  SHFILEINFOW info{};
  if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list.get()), 0, &info, sizeof info,
                        SHGFI_PIDL | SHGFI_ICON | SHGFI_LARGEICON))
    return nullptr;
  return info.hIcon;
}

}  // namespace velmora
