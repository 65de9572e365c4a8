// A display object as scripts see it (movie clip, button, text field). The
// host subclasses it and keeps it beside its own display object. Names are
// looked up as the reference player does: a level (`_level1`) first, then
// the object's own variables, then its children by instance name, then the
// built-in properties (`_x`, `_alpha`, ...), then the prototype. When the
// display object is removed the reference keeps its path: it answers
// nothing until a display object appears at that path again.
#pragma once

#include "player/script/Object.h"
#include "player/script/ScriptHost.h"

#include <string>

namespace velmora::avm1 {

class ClipObject : public Object {
 public:
  explicit ClipObject(Object* proto) : Object(proto, ObjectClass::Clip) {}

  // The display tree, as the host keeps it.
  virtual ClipObject* ParentClip() = 0;
  // The child with this instance name; `name` is an interned string, to be
  // compared without regard to case where the Vm says so.
  virtual ClipObject* ChildByName(Vm& vm, Str* name) = 0;
  // Named children in display order, for enumeration.
  virtual void ChildNames(Vm& /*vm*/, std::vector<Str*>& /*names*/) {}
  // The level this clip lies in (0 for the movie).
  virtual int LevelNumber() { return 0; }
  // "_level0.a.b" (dot form) for the clip.
  virtual std::u16string Path() = 0;

  // The host tells when its display object goes away.
  void MarkRemoved() {
    if (!removed_) removedPath_ = Path();
    removed_ = true;
  }
  void MarkAlive() { removed_ = false; }
  bool Removed() const { return removed_; }
  const std::u16string& RemovedPath() const { return removedPath_; }

  bool GetSpecial(Vm& vm, Str* key, Value& out) override;
  bool GetFallback(Vm& vm, Str* key, Value& out) override;
  bool SetSpecial(Vm& vm, Str* key, const Value& value) override;
  void EnumerateSpecial(Vm& vm, std::vector<Str*>& names) override;
  const char* TypeName() const override { return "movieclip"; }
  Object* Live(Vm& vm) override;

 private:
  bool removed_ = false;
  std::u16string removedPath_;
};

}  // namespace velmora::avm1
