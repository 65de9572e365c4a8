// A text field as the scripts see it: the object a timeline answers for a
// field placed with an instance name. Its properties read and change the
// field's state (text, htmlText, textColor, autoSize, the box's looks) and
// its placement (_x, _y, _alpha, _visible, _name). Once the field leaves
// its timeline the object answers nothing, like a removed clip.
#pragma once

#include "player/script/ClipObject.h"

#include <string>

namespace velmora::swf {

class Clip;
struct DisplayObject;
struct FieldState;
struct EditText;

class TextFieldObject final : public avm1::ClipObject {
 public:
  TextFieldObject(avm1::Object* proto, Clip* parent, DisplayObject* holder)
      : ClipObject(proto), parent_(parent), holder_(holder) {}

  DisplayObject* Holder() const { return holder_; }
  // The field's state and definition while it is on its timeline, else null.
  FieldState* LiveState() const { return State(); }
  const EditText* Definition() const;
  // The field's state moved to another display object of the same list.
  void Rehome(DisplayObject* holder) { holder_ = holder; }
  // The field is gone: the path it had stays its answer.
  void Detach();

  avm1::ClipObject* ParentClip() override;
  avm1::ClipObject* ChildByName(avm1::Vm&, avm1::Str*) override { return nullptr; }
  std::u16string Path() override;
  bool GetSpecial(avm1::Vm& vm, avm1::Str* key, avm1::Value& out) override;
  bool SetSpecial(avm1::Vm& vm, avm1::Str* key, const avm1::Value& value) override;
  const char* TypeName() const override { return "object"; }

 private:
  FieldState* State() const;
  // Sets the shown text (markup when `html`) and the field's variable.
  void SetText(avm1::Vm& vm, std::u16string text, bool html);

  Clip* parent_;
  DisplayObject* holder_;
};

}  // namespace velmora::swf
