#include "player/render/SceneState.h"

#include "player/display/ClipDrawing.h"

#include <algorithm>

namespace velmora::swf {

bool SceneState::Entry::operator==(const Entry& o) const {
  return clipDepth == o.clipDepth && buttonState == o.buttonState && scriptMask == o.scriptMask &&
         isScriptMask == o.isScriptMask && inside == o.inside && placed == o.placed;
}

SceneState::Entry& SceneState::Next() {
  // The entries keep their filter lists' memory from frame to frame: a still
  // tree is taken without allocating.
  if (used_ == now_.size()) now_.emplace_back();
  return now_[used_++];
}

void SceneState::Take(const Clip& clip) {
  for (const auto& [depth, object] : clip.DisplayList()) {
    const size_t at = used_;
    Entry& e = Next();
    TakePlacedState(e.placed, object);
    e.clipDepth = object.clipDepth;
    e.buttonState = object.clip ? static_cast<uint8_t>(object.clip->ShownButtonState()) : 0;
    e.scriptMask = object.clip ? object.clip->ScriptMask() : nullptr;
    e.isScriptMask = object.clip && object.clip->IsScriptMask();
    if (object.clip) Take(*object.clip);
    // `e` may have moved while the clip's entries were added.
    now_[at].inside = static_cast<uint32_t>(used_ - at - 1);
  }
}

bool SceneState::TakeAndCompare(const Clip& root) {
  used_ = 0;
  Take(root);
  const uint64_t drawing = DrawingVersionOf(root);
  const bool same = known_ && drawing == rootDrawing_ && used_ == before_.size() &&
                    std::equal(now_.begin(), now_.begin() + static_cast<std::ptrdiff_t>(used_), before_.begin());
  // Keep this state as `before_`, and the old entries' memory for the next.
  now_.resize(used_);
  std::swap(now_, before_);
  known_ = true;
  rootDrawing_ = drawing;
  return same;
}

}  // namespace velmora::swf
