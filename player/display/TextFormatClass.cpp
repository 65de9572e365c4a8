// TextFormat and the text fields' format methods: new TextFormat(font, size,
// color, bold, italic, underline, url, target, align, leftMargin,
// rightMargin, indent, leading), a field's setTextFormat and
// setNewTextFormat (the parts a format sets hold over the whole field's
// text, kept or given later) and getTextFormat / getNewTextFormat (the
// field's format as it is drawn).
#include "player/display/ClipMethods.h"
#include "player/display/TextFieldObject.h"
#include "player/display/TextFieldState.h"
#include "player/script/Builtins.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"

#include <cmath>

namespace velmora::swf {
namespace {

using avm1::CallInfo;
using avm1::Value;

constexpr double kTwipsPerPoint = 20;  // sizes and margins are in pixels, one point each
// Sizes beyond this are read as this: a glyph larger than any screen.
constexpr double kMaxPoints = 2000;

constexpr const char* kMembers[] = {"font",  "size",       "color",       "bold",   "italic",  "underline", "url",
                                    "target", "align",     "leftMargin", "rightMargin", "indent", "leading"};

Value TextFormatCtor(CallInfo& c) {
  avm1::Object* self = c.ThisObject();
  if (!self) return c.thisValue;
  // Every member exists, null where the call gave none: null parts of a
  // format leave a field's parts as they are.
  for (size_t i = 0; i < std::size(kMembers); ++i) {
    const Value v = c.args[i];
    c.vm.SetNamed(self, avm1::FromUtf8(kMembers[i]), v.IsUndefined() ? Value::Null() : v);
  }
  return c.thisValue;
}

FieldState* FieldOf(CallInfo& c, const EditText** definition) {
  auto* field = dynamic_cast<TextFieldObject*>(c.ThisObject());
  FieldState* state = field ? field->LiveState() : nullptr;
  if (state && definition) *definition = field->Definition();
  return state;
}

std::optional<double> Number(CallInfo& c, avm1::Object* from, const char* name, double scale, double most) {
  const Value v = c.vm.GetNamed(from, avm1::FromUtf8(name));
  if (v.IsNullish()) return std::nullopt;
  const double n = avm1::ToNumber(c.vm, v);
  if (!std::isfinite(n)) return std::nullopt;
  return std::fmin(std::fmax(n, -most), most) * scale;
}

std::optional<bool> Flag(CallInfo& c, avm1::Object* from, const char* name) {
  const Value v = c.vm.GetNamed(from, avm1::FromUtf8(name));
  if (v.IsNullish()) return std::nullopt;
  return avm1::ToBoolean(c.vm, v);
}

std::optional<TextAlign> AlignOf(CallInfo& c, avm1::Object* from) {
  const Value v = c.vm.GetNamed(from, u"align");
  if (v.IsNullish()) return std::nullopt;
  const std::u16string t = avm1::ToText(c.vm, v);
  if (t == u"left") return TextAlign::Left;
  if (t == u"right") return TextAlign::Right;
  if (t == u"center") return TextAlign::Center;
  if (t == u"justify") return TextAlign::Justify;
  return std::nullopt;  // the reference player ignores other words
}

// The parts `from` sets, laid over `format`.
void Merge(CallInfo& c, avm1::Object* from, FieldFormat& format) {
  const Value font = c.vm.GetNamed(from, u"font");
  if (!font.IsNullish()) format.font = avm1::ToUtf8(avm1::ToText(c.vm, font));
  if (auto v = Number(c, from, "size", kTwipsPerPoint, kMaxPoints); v && *v > 0) format.size = *v;
  if (auto v = Number(c, from, "color", 1, 4294967295.0)) format.color = avm1::ToUint32(*v) & 0xFFFFFF;
  if (auto v = Flag(c, from, "bold")) format.bold = *v;
  if (auto v = Flag(c, from, "italic")) format.italic = *v;
  if (auto v = Flag(c, from, "underline")) format.underline = *v;
  if (auto v = AlignOf(c, from)) format.align = *v;
  if (auto v = Number(c, from, "leftMargin", kTwipsPerPoint, kMaxPoints)) format.leftMargin = std::fmax(*v, 0);
  if (auto v = Number(c, from, "rightMargin", kTwipsPerPoint, kMaxPoints)) format.rightMargin = std::fmax(*v, 0);
  if (auto v = Number(c, from, "indent", kTwipsPerPoint, kMaxPoints)) format.indent = *v;
  if (auto v = Number(c, from, "leading", kTwipsPerPoint, kMaxPoints)) format.leading = *v;
}

// setTextFormat([begin, [end,]] format): the format is the last argument. A
// field here has one format for all its text, so a range sets the whole.
Value SetTextFormat(CallInfo& c) {
  FieldState* state = FieldOf(c, nullptr);
  if (!state || c.args.Size() == 0) return Value();
  avm1::Object* from = c.args[c.args.Size() - 1].AsObject();
  if (!from) return Value();
  FieldFormat merged = state->looks.format;
  Merge(c, from, merged);
  // The colour is the field's text colour too (textColor reads it back).
  if (merged.color)
    state->looks.color = {static_cast<uint8_t>(*merged.color >> 16), static_cast<uint8_t>(*merged.color >> 8),
                          static_cast<uint8_t>(*merged.color), 255};
  state->looks.format = merged;
  return Value();
}

const char16_t* AlignName(TextAlign a) {
  switch (a) {
    case TextAlign::Right: return u"right";
    case TextAlign::Center: return u"center";
    case TextAlign::Justify: return u"justify";
    case TextAlign::Left: break;
  }
  return u"left";
}

Value GetTextFormat(CallInfo& c) {
  const EditText* field = nullptr;
  FieldState* state = FieldOf(c, &field);
  if (!state || !field) return Value();
  const FieldFormat& f = state->looks.format;
  const Value ctor = c.vm.GetNamed(c.vm.Global(), u"TextFormat");
  const Value proto = ctor.AsObject() ? c.vm.GetNamed(ctor.AsObject(), u"prototype") : Value();
  avm1::Object* out = proto.AsObject() ? c.vm.NewObject(proto.AsObject()) : c.vm.NewObject();
  auto put = [&](const char* name, const Value& v) { c.vm.SetNamed(out, avm1::FromUtf8(name), v); };
  auto text = [&](const std::u16string& t) {
    avm1::Str* s = c.vm.NewString(t);
    return s ? Value::String(s) : Value();
  };
  auto boolean = [&](bool b) { return avm1::BoolValue(c.vm, b); };
  const uint32_t rgb = (uint32_t(state->looks.color.r) << 16) | (uint32_t(state->looks.color.g) << 8) |
                       state->looks.color.b;
  put("font", f.font ? text(avm1::FromUtf8(*f.font)) : Value::Null());
  put("size", Value::Number(f.size.value_or(field->height) / kTwipsPerPoint));
  put("color", Value::Number(rgb));
  put("bold", boolean(f.bold.value_or(false)));
  put("italic", boolean(f.italic.value_or(false)));
  put("underline", boolean(f.underline.value_or(false)));
  put("url", text(u""));
  put("target", text(u""));
  put("align", text(AlignName(f.align.value_or(field->align))));
  put("leftMargin", Value::Number(f.leftMargin.value_or(field->leftMargin) / kTwipsPerPoint));
  put("rightMargin", Value::Number(f.rightMargin.value_or(field->rightMargin) / kTwipsPerPoint));
  put("indent", Value::Number(f.indent.value_or(field->indent) / kTwipsPerPoint));
  put("leading", Value::Number(f.leading.value_or(field->leading) / kTwipsPerPoint));
  return Value::Obj(out);
}

}  // namespace

void InstallTextFormat(avm1::Vm& vm) {
  avm1::Object* proto = vm.NewObject();
  avm1::DefineClass(vm, vm.Global(), "TextFormat", TextFormatCtor, proto);
  avm1::Object* field = vm.P().textField;
  vm.Method(field, "setTextFormat", SetTextFormat);
  vm.Method(field, "setNewTextFormat", SetTextFormat);
  vm.Method(field, "getTextFormat", GetTextFormat);
  vm.Method(field, "getNewTextFormat", GetTextFormat);
}

}  // namespace velmora::swf
