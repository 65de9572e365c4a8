#include "startup/Main.h"

#include "common/AppPaths.h"
#include "startup/AppState.h"
#include "startup/DesktopHost.h"
#include "startup/ResourceFiles.h"

namespace velmora {

std::unique_ptr<FrmShortcutBG> Main() {
  if (GetColorDepth() != 32) {
    ::MessageBoxA(nullptr,
                  "Please change the display color quality as the 32 bit color, and restart "
                  "Velmora.",
                  "Color Quality", MB_OK | MB_ICONINFORMATION);
    return nullptr;
  }

  const HANDLE mutex = ::CreateMutexA(nullptr, TRUE, kInstanceMutexName);
  if (!mutex) return nullptr;
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);  // not owned: another instance holds it
    return nullptr;
  }
  App().instanceMutex = OwnedMutex(mutex);

  RefreshResourceFiles(InstalledOrEmbeddedSource(GetSpecialDir(1)), AppDirectory());

  auto background = std::make_unique<FrmShortcutBG>(AppDirectory());
  if (!background->Show()) return nullptr;
  return background;
}

}  // namespace velmora
