#include "common/DesktopShape.h"

#include <algorithm>

namespace velmora {
namespace {

bool HasChild(const ShellWindow& w, const char* className) {
  return std::find(w.childClasses.begin(), w.childClasses.end(), className) != w.childClasses.end();
}

}  // namespace

DesktopShape FindDesktopShape(const std::vector<ShellWindow>& topLevel) {
  // "Program Manager" is found by its title, whatever its class; the first
  // one in front counts, as the system's own search by title finds it.
  const auto progman = std::find_if(topLevel.begin(), topLevel.end(),
                                    [](const ShellWindow& w) { return w.title == kShellTitle; });
  if (progman != topLevel.end() && HasChild(*progman, kIconViewClass)) {
    const bool withWorker = HasChild(*progman, kWorkerClass);
    return {withWorker ? DesktopShapeKind::kIconsAndWorkerInProgman : DesktopShapeKind::kIconsInProgman,
            progman->id};
  }
  // Raised: the icon view moved into a top-level WorkerW.
  const auto worker = std::find_if(topLevel.begin(), topLevel.end(), [](const ShellWindow& w) {
    return w.className == kWorkerClass && HasChild(w, kIconViewClass);
  });
  if (worker != topLevel.end()) return {DesktopShapeKind::kRaised, worker->id};
  if (progman != topLevel.end()) return {DesktopShapeKind::kProgmanOnly, progman->id};
  return {};
}

}  // namespace velmora
