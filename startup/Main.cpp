#include "startup/Main.h"

#include "common/AppPaths.h"
#include "common/DesktopHost.h"
#include "startup/ResourceFiles.h"

namespace velmora {

std::unique_ptr<DesktopSession> Main() {
  if (GetColorDepth() != 32) {
    ::MessageBoxW(nullptr,
                  L"Please change the display color quality as the 32 bit color, and restart "
                  L"Velmora.",
                  L"Color Quality", MB_OK | MB_ICONINFORMATION);
    return nullptr;
  }

  OwnedMutex instance(::CreateMutexW(nullptr, TRUE, kInstanceMutexName));
  if (!instance) return nullptr;
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    // Not owned: another instance holds it. Closed without releasing it.
    const UniqueKernelHandle notOurs(instance.release());
    return nullptr;
  }

  RefreshResourceFiles(InstalledOrEmbeddedSource(GetSpecialDir(1)), AppDirectory());

  auto session = std::make_unique<DesktopSession>(AppDirectory(), std::move(instance));
  if (!session->Start()) return nullptr;
  return session;
}

}  // namespace velmora
