#include "player/script/ClipObject.h"

#include "player/script/Realm.h"
#include "player/script/Vm.h"

namespace velmora::avm1 {

bool ClipObject::GetSpecial(Vm& vm, Str* key, Value& out) {
  // `_level1` names a level before anything else of the clip.
  const std::u16string& t = key->Text();
  if (t.size() > 6 && t[0] == u'_' && t.compare(0, 6, u"_level") == 0) {
    int n = 0;
    for (size_t i = 6; i < t.size(); ++i) {
      if (t[i] < u'0' || t[i] > u'9' || i > 10) return false;
      n = n * 10 + (t[i] - u'0');
    }
    out = Value::Obj(vm.Host().Level(n));
    return true;
  }
  return false;
}

bool ClipObject::GetFallback(Vm& vm, Str* key, Value& out) {
  if (ClipObject* child = ChildByName(vm, key)) {
    out = Value::Obj(child);
    return true;
  }
  int tag = key->Tag();
  if (tag >= 0 && tag < kClipPropertyCount) {
    out = vm.Host().GetProperty(*this, static_cast<ClipProperty>(tag));
    return true;
  }
  const Names& n = vm.N();
  if (key == n.parent) {
    out = Value::Obj(ParentClip());
    if (out.IsNull()) out = Value();
    return true;
  }
  if (key == n.root) {
    out = Value::Obj(vm.RootOf(this));
    return true;
  }
  return false;
}

bool ClipObject::SetSpecial(Vm& vm, Str* key, const Value& value) {
  int tag = key->Tag();
  if (tag < 0 || tag >= kClipPropertyCount) return false;
  vm.Host().SetProperty(*this, static_cast<ClipProperty>(tag), value);
  return true;
}

void ClipObject::EnumerateSpecial(Vm& vm, std::vector<Str*>& names) { ChildNames(vm, names); }

Object* ClipObject::Live(Vm& vm) {
  if (!removed_) return this;
  return vm.Host().ReviveClip(removedPath_);
}

}  // namespace velmora::avm1
