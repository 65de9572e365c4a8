#include "player/display/TextFieldObject.h"

#include "player/display/ClipGeometry.h"
#include "player/display/SpriteObject.h"
#include "player/display/Timeline.h"
#include "player/script/Convert.h"
#include "player/script/Text.h"
#include "player/script/Vm.h"
#include "player/swf/HtmlText.h"

#include <cmath>

namespace velmora::swf {
namespace {

using avm1::Value;

constexpr double kTwipsPerPixel = 20;
constexpr double kAlphaUnit = 256;  // a colour transform's multiplier for 1

enum class Prop : uint8_t {
  Text, HtmlText, TextColor, AutoSize, Length, X, Y, Visible, Alpha, Name, Width, Height, Variable, Multiline,
  WordWrap, Html, Border, Background, BackgroundColor, BorderColor, Selectable, TextWidth, TextHeight, Target,
  None,
};

struct PropName {
  const char* name;
  Prop prop;
};

constexpr PropName kProps[] = {
    {"text", Prop::Text}, {"htmlText", Prop::HtmlText}, {"textColor", Prop::TextColor},
    {"autoSize", Prop::AutoSize}, {"length", Prop::Length}, {"_x", Prop::X}, {"_y", Prop::Y},
    {"_visible", Prop::Visible}, {"_alpha", Prop::Alpha}, {"_name", Prop::Name}, {"_width", Prop::Width},
    {"_height", Prop::Height}, {"variable", Prop::Variable}, {"multiline", Prop::Multiline},
    {"wordWrap", Prop::WordWrap}, {"html", Prop::Html}, {"border", Prop::Border},
    {"background", Prop::Background}, {"backgroundColor", Prop::BackgroundColor},
    {"borderColor", Prop::BorderColor}, {"selectable", Prop::Selectable}, {"textWidth", Prop::TextWidth},
    {"textHeight", Prop::TextHeight}, {"_target", Prop::Target},
};

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

Prop Find(avm1::Vm& vm, const std::u16string& name) {
  for (const PropName& p : kProps) {
    const std::string_view want(p.name);
    if (want.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < want.size() && same; ++i) {
      const char16_t w = static_cast<char16_t>(want[i]);
      same = vm.CaseSensitive() ? w == name[i] : Lower(w) == Lower(name[i]);
    }
    if (same) return p.prop;
  }
  return Prop::None;
}

Value Text(avm1::Vm& vm, const std::u16string& text) {
  avm1::Str* s = vm.NewString(text);
  return s ? Value::String(s) : Value();
}

uint32_t Rgb(const Rgba& c) { return (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b; }

Rgba FromRgb(double v) {
  const uint32_t n = avm1::ToUint32(v);
  return {static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n), 255};
}

// The text without its markup; paragraphs end in a carriage return, as
// scripts read them.
std::u16string PlainOf(const FieldState& state) {
  if (!state.looks.html) return state.text;
  std::u16string out = Utf16(ParseHtmlText(CodePoints(state.text), CharFormat(), ParagraphFormat()).text);
  for (char16_t& c : out)
    if (c == u'\n') c = u'\r';
  return out;
}

// Plain text as markup that shows it as it reads.
std::u16string Escaped(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'\r':
      case u'\n': out += u"<br>"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

const char16_t* AutoSizeName(FieldAutoSize a) {
  switch (a) {
    case FieldAutoSize::Left: return u"left";
    case FieldAutoSize::Center: return u"center";
    case FieldAutoSize::Right: return u"right";
    default: return u"none";
  }
}

FieldAutoSize AutoSizeOf(avm1::Vm& vm, const Value& v) {
  if (v.IsBoolean()) return v.AsBool() ? FieldAutoSize::Left : FieldAutoSize::None;
  const std::u16string t = avm1::ToText(vm, v);
  if (t == u"left") return FieldAutoSize::Left;
  if (t == u"center") return FieldAutoSize::Center;
  if (t == u"right") return FieldAutoSize::Right;
  return FieldAutoSize::None;
}

}  // namespace

void TextFieldObject::Detach() {
  MarkRemoved();
  parent_ = nullptr;
  holder_ = nullptr;
}

FieldState* TextFieldObject::State() const { return holder_ ? holder_->field.get() : nullptr; }

const EditText* TextFieldObject::Definition() const {
  return holder_ && holder_->character ? holder_->character->editText.get() : nullptr;
}

avm1::ClipObject* TextFieldObject::ParentClip() { return parent_ ? parent_->Object() : nullptr; }

std::u16string TextFieldObject::Path() {
  if (Removed()) return RemovedPath();
  if (!holder_ || !parent_) return u"";
  SpriteObject* up = parent_->Object();
  return (up ? up->Path() : u"_level0") + u"." + avm1::FromUtf8(holder_->name);
}

void TextFieldObject::SetText(avm1::Vm& vm, std::u16string text, bool html) {
  FieldState* state = State();
  const EditText* field = holder_->character ? holder_->character->editText.get() : nullptr;
  if (!state || !field) return;
  if (state->looks.html && !html) text = Escaped(text);
  state->text = std::move(text);
  // The variable follows, so the field does not take its old value back.
  if (!field->variableName.empty() && parent_ && parent_->Object())
    if (avm1::Str* s = vm.NewString(state->text))
      vm.SetBound(parent_->Object(), avm1::FromUtf8(field->variableName), Value::String(s));
}

bool TextFieldObject::GetSpecial(avm1::Vm& vm, avm1::Str* key, Value& out) {
  const Prop prop = Find(vm, key->Text());
  if (prop == Prop::None) return ClipObject::GetSpecial(vm, key, out);
  FieldState* state = State();
  if (!state) {
    out = Value();
    return true;
  }
  const DisplayObject& o = *holder_;
  const EditText* field = o.character ? o.character->editText.get() : nullptr;
  const FieldLooks& l = state->looks;
  auto boolean = [&](bool b) { return avm1::BoolValue(vm, b); };
  auto boxSide = [&](bool width) {
    const Box b = ObjectBox(o, Matrix());
    return Value::Number(b.empty ? 0 : (width ? b.x1 - b.x0 : b.y1 - b.y0) / kTwipsPerPixel);
  };
  switch (prop) {
    case Prop::Text: out = Text(vm, PlainOf(*state)); break;
    case Prop::HtmlText: out = Text(vm, state->text); break;
    case Prop::TextColor: out = Value::Number(Rgb(l.color)); break;
    case Prop::AutoSize: out = Text(vm, AutoSizeName(l.autoSize)); break;
    case Prop::Length: out = Value::Number(static_cast<double>(PlainOf(*state).size())); break;
    case Prop::X: out = Value::Number(o.matrix.tx / kTwipsPerPixel); break;
    case Prop::Y: out = Value::Number(o.matrix.ty / kTwipsPerPixel); break;
    case Prop::Visible: out = boolean(o.visible); break;
    case Prop::Alpha: out = Value::Number(o.colorTransform.aMult / kAlphaUnit * 100); break;
    case Prop::Name: out = Text(vm, avm1::FromUtf8(o.name)); break;
    case Prop::Width:
    case Prop::TextWidth: out = boxSide(true); break;
    case Prop::Height:
    case Prop::TextHeight: out = boxSide(false); break;
    case Prop::Variable:
      out = field && !field->variableName.empty() ? Text(vm, avm1::FromUtf8(field->variableName)) : Value::Null();
      break;
    case Prop::Multiline: out = boolean(l.multiline); break;
    case Prop::WordWrap: out = boolean(l.wordWrap); break;
    case Prop::Html: out = boolean(l.html); break;
    case Prop::Border: out = boolean(l.border); break;
    case Prop::Background: out = boolean(l.background); break;
    case Prop::BackgroundColor: out = Value::Number(Rgb(l.backgroundColor)); break;
    case Prop::BorderColor: out = Value::Number(Rgb(l.borderColor)); break;
    case Prop::Selectable: out = boolean(state->selectable); break;
    case Prop::Target: out = Text(vm, SlashPath(Path())); break;
    case Prop::None: break;
  }
  return true;
}

bool TextFieldObject::SetSpecial(avm1::Vm& vm, avm1::Str* key, const Value& value) {
  const Prop prop = Find(vm, key->Text());
  if (prop == Prop::None) return false;
  FieldState* state = State();
  if (!state) return true;  // a removed field takes nothing
  DisplayObject& o = *holder_;
  FieldLooks& l = state->looks;
  const bool b = avm1::ToBoolean(vm, value);
  auto number = [&](double& to) {
    const double v = avm1::ToNumber(vm, value);
    if (!std::isfinite(v)) return false;  // NaN and infinities leave it as it is
    to = v;
    return true;
  };
  double v = 0;
  switch (prop) {
    case Prop::Text: SetText(vm, avm1::ToText(vm, value), false); break;
    case Prop::HtmlText: SetText(vm, avm1::ToText(vm, value), true); break;
    case Prop::TextColor: if (number(v)) l.color = FromRgb(v); break;
    case Prop::BackgroundColor: if (number(v)) l.backgroundColor = FromRgb(v); break;
    case Prop::BorderColor: if (number(v)) l.borderColor = FromRgb(v); break;
    case Prop::AutoSize: l.autoSize = AutoSizeOf(vm, value); break;
    case Prop::Multiline: l.multiline = b; break;
    case Prop::WordWrap: l.wordWrap = b; break;
    case Prop::Html: l.html = b; break;
    case Prop::Border: l.border = b; break;
    case Prop::Background: l.background = b; break;
    case Prop::Selectable: state->selectable = b; break;
    case Prop::Name: o.name = avm1::ToUtf8(avm1::ToText(vm, value)); break;
    case Prop::Visible: o.visible = b; o.scripted = true; break;
    case Prop::X: if (number(v)) { o.matrix.tx = v * kTwipsPerPixel; o.scripted = true; } break;
    case Prop::Y: if (number(v)) { o.matrix.ty = v * kTwipsPerPixel; o.scripted = true; } break;
    case Prop::Alpha:
      if (number(v)) {
        o.colorTransform.aMult = static_cast<int32_t>(std::lround(v / 100 * kAlphaUnit));
        o.scripted = true;
      }
      break;
    default: break;  // read-only here
  }
  return true;
}

}  // namespace velmora::swf
