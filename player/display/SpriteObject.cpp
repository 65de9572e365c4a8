#include "player/display/SpriteObject.h"

#include "player/display/MovieScripts.h"
#include "player/display/TextFieldObject.h"
#include "player/display/Timeline.h"
#include "player/script/Text.h"
#include "player/script/Vm.h"

namespace velmora::swf {

void SpriteObject::Detach() {
  MarkRemoved();
  clip_ = nullptr;
}

avm1::ClipObject* SpriteObject::ParentClip() {
  if (!clip_ || !clip_->Parent()) return nullptr;
  return clip_->Parent()->Object();
}

avm1::ClipObject* SpriteObject::ChildByName(avm1::Vm& vm, avm1::Str* name) {
  if (!clip_) return nullptr;
  const std::string wanted = avm1::ToUtf8(name->Text());
  if (Clip* child = clip_->ChildNamed(wanted, vm.CaseSensitive())) return child->Object();
  DisplayObject* field = clip_->FieldNamed(wanted, vm.CaseSensitive());
  return field && clip_->Scripts() ? clip_->Scripts()->FieldObject(*clip_, *field) : nullptr;
}

void SpriteObject::ChildNames(avm1::Vm& vm, std::vector<avm1::Str*>& names) {
  if (!clip_) return;
  for (const auto& entry : clip_->DisplayList()) {
    const DisplayObject& o = entry.second;
    const bool named = (o.clip && o.clip->Object()) || o.field;
    if (named && !o.name.empty()) names.push_back(vm.Intern(avm1::FromUtf8(o.name)));
  }
}

std::u16string SpriteObject::Path() {
  if (Removed()) return RemovedPath();
  if (!fixedPath_.empty()) return fixedPath_;
  if (!clip_) return u"";
  Clip* parent = clip_->Parent();
  if (!parent) return u"_level0";
  std::u16string name = clip_->Holder() ? avm1::FromUtf8(clip_->Holder()->name) : u"";
  SpriteObject* up = parent->Object();
  return (up ? up->Path() : u"_level0") + u"." + name;
}

std::u16string SlashPath(const std::u16string& dotPath) {
  const std::u16string root = u"_level0";
  if (dotPath.compare(0, root.size(), root) != 0) return dotPath;
  std::u16string rest = dotPath.substr(root.size());
  if (rest.empty()) return u"/";
  for (char16_t& c : rest)
    if (c == u'.') c = u'/';
  return rest;
}

}  // namespace velmora::swf
