// A movie clip as the scripts see it: the script object kept beside each
// sprite clip of the display tree. It answers its children by instance name
// and its path from the tree; once its clip is gone it keeps the path it
// had, and the engine looks there again for a clip of the same name.
#pragma once

#include "player/script/ClipObject.h"

#include <string>

namespace velmora::swf {

class Clip;

class SpriteObject final : public avm1::ClipObject {
 public:
  SpriteObject(avm1::Object* proto, Clip* clip) : ClipObject(proto), clip_(clip) {}

  Clip* GetClip() const { return clip_; }
  // The clip leaves the tree: the path it had stays its answer.
  void Detach();
  // The clip is unloading: off its parent's list, still answering.
  void FixPath() { fixedPath_ = Path(); }

  avm1::ClipObject* ParentClip() override;
  avm1::ClipObject* ChildByName(avm1::Vm& vm, avm1::Str* name) override;
  void ChildNames(avm1::Vm& vm, std::vector<avm1::Str*>& names) override;
  std::u16string Path() override;

 private:
  Clip* clip_;
  std::u16string fixedPath_;
};

// The slash path of a clip ("/a/b", "/" for the root), as `_target` gives it.
std::u16string SlashPath(const std::u16string& dotPath);

}  // namespace velmora::swf
