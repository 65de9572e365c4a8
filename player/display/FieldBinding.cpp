// Text fields for the scripts: their script objects, and the fields that
// show a variable (the walk that finds them, the first value they give
// their variable, the value they show after a tick).
#include "player/display/MovieScripts.h"
#include "player/display/SpriteObject.h"
#include "player/display/TextFieldObject.h"
#include "player/script/Realm.h"
#include "player/script/Convert.h"
#include "player/script/Text.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {
namespace {

// createTextField's text: 12 points of the system's sans-serif font.
constexpr uint16_t kScriptFieldTextSize = 240;  // twips

}  // namespace

TextFieldObject* MovieScripts::FieldObject(Clip& parent, DisplayObject& o) {
  if (!o.field) return nullptr;
  if (!o.field->object) {
    // TextField.prototype: its format methods, and what a movie adds to it.
    auto* object = vm_->GetHeap().New<TextFieldObject>(vm_->P().textField, &parent, &o);
    o.field->object = avm1::Rooted<TextFieldObject>(vm_->GetHeap(), object);
  }
  return o.field->object.Get();
}

const Character* MovieScripts::ScriptField(double width, double height) {
  // Sizes past a file's own range are clamped: the box stays a box.
  constexpr double kMaxSide = 1 << 24;
  const auto side = [&](double v) { return static_cast<int32_t>(std::lround(std::clamp(v, 0.0, kMaxSide))); };
  const std::pair<int32_t, int32_t> key{side(width), side(height)};
  auto it = scriptFields_.find(key);
  if (it != scriptFields_.end()) return &it->second;
  if (scriptFields_.size() >= kMaxScriptFieldSizes) return nullptr;
  auto field = std::make_shared<EditText>();
  field->bounds = {0, key.first, 0, key.second};
  field->height = kScriptFieldTextSize;
  field->hasColor = true;  // black
  Character& c = scriptFields_[key];
  c.kind = Character::Kind::EditText;
  c.editText = std::move(field);
  return &c;
}

void MovieScripts::CollectBoundFields(Clip& clip) {
  for (auto& [depth, object] : clip.MutableDisplayList()) {
    if (object.clip) CollectBoundFields(*object.clip);
    const EditText* field = object.character ? object.character->editText.get() : nullptr;
    if (!object.field || !field || field->variableName.empty() || !clip.Object()) continue;
    boundFields_.push_back({clip.Object(), depth, field});
  }
}

FieldState* MovieScripts::FindBound(const BoundField& b) {
  Clip* clip = b.timeline->GetClip();
  if (!clip) return nullptr;
  auto it = clip->MutableDisplayList().find(b.depth);
  if (it == clip->MutableDisplayList().end()) return nullptr;
  DisplayObject& o = it->second;
  const bool same = o.field && o.character && o.character->editText.get() == b.field;
  return same ? o.field.get() : nullptr;
}

void MovieScripts::BindFields(bool show) {
  if (!hasBoundFields_ || !root_) return;
  // Found first and looked up again for each: reading a variable may run a
  // script (a getter, a toString) that changes the tree.
  boundFields_.clear();
  CollectBoundFields(*root_);
  for (const BoundField& b : boundFields_) {
    FieldState* state = FindBound(b);
    if (!state) continue;
    const std::u16string name = avm1::FromUtf8(b.field->variableName);
    if (!state->variableSeeded) {
      state->variableSeeded = true;
      if (vm_->GetBound(b.timeline, name).IsUndefined()) {
        if (avm1::Str* text = vm_->NewString(state->text)) vm_->SetBound(b.timeline, name, avm1::Value::String(text));
        continue;
      }
    }
    if (!show) continue;
    const avm1::Value value = vm_->GetBound(b.timeline, name);
    if (value.IsUndefined()) continue;  // the field keeps what it shows
    std::u16string text = avm1::ToText(*vm_, value);
    if ((state = FindBound(b))) state->text = std::move(text);
  }
}

}  // namespace velmora::swf
