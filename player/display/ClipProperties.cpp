// The clip properties of GetProperty and SetProperty (`_x`, `_alpha`, ...)
// on the display objects that show the clips. Setting any of the transform,
// colour or visibility marks the object as the script's: its timeline moves
// it no more.
#include "player/display/ClipGeometry.h"
#include "player/display/MovieScripts.h"
#include "player/display/SpriteObject.h"
#include "player/script/Convert.h"
#include "player/script/Text.h"

#include <cmath>

namespace velmora::swf {
namespace {

constexpr double kTwipsPerPixel = 20;
constexpr double kAlphaUnit = 256;  // a colour transform's multiplier for 1
constexpr double kPi = 3.14159265358979323846;

using avm1::ClipProperty;
using avm1::Value;

// The scale and rotation a script works with, taken from the matrix the
// first time a script sets one of them.
void TakeParts(DisplayObject& o) {
  if (o.hasScriptParts) return;
  const Matrix& m = o.matrix;
  o.xScale = std::hypot(m.a, m.b) * 100;
  o.yScale = std::hypot(m.c, m.d) * 100;
  if (m.Determinant() < 0) o.yScale = -o.yScale;
  o.rotation = std::atan2(m.b, m.a) * 180 / kPi;
  o.hasScriptParts = true;
}

void ComposeParts(DisplayObject& o) {
  const double r = o.rotation * kPi / 180;
  const double sx = o.xScale / 100, sy = o.yScale / 100;
  o.matrix.a = sx * std::cos(r);
  o.matrix.b = sx * std::sin(r);
  o.matrix.c = -sy * std::sin(r);
  o.matrix.d = sy * std::cos(r);
}

// Rotation as the reference player gives it: -180 to 180 degrees.
double NormalDegrees(double degrees) {
  double r = std::fmod(degrees, 360);
  if (r > 180) r -= 360;
  if (r < -180) r += 360;
  return r;
}

Box BoxInParent(const Clip& clip) {
  if (clip.Holder()) return ObjectBox(*clip.Holder(), Matrix());
  return ContentBox(clip, Matrix());
}

Value Text(avm1::Vm& vm, const std::u16string& text) {
  avm1::Str* s = vm.NewString(text);
  return s ? Value::String(s) : Value();
}

}  // namespace

Value MovieScripts::GetProperty(avm1::ClipObject& object, ClipProperty property) {
  Clip* clip = ClipOf(&object);
  if (!clip) return Value();
  DisplayObject* o = clip->Holder();
  const Matrix m = o ? o->matrix : Matrix();
  switch (property) {
    case ClipProperty::X: return Value::Number(m.tx / kTwipsPerPixel);
    case ClipProperty::Y: return Value::Number(m.ty / kTwipsPerPixel);
    case ClipProperty::XScale: return Value::Number(o && o->hasScriptParts ? o->xScale : std::hypot(m.a, m.b) * 100);
    case ClipProperty::YScale: return Value::Number(o && o->hasScriptParts ? o->yScale : std::hypot(m.c, m.d) * 100);
    case ClipProperty::Rotation:
      return Value::Number(o && o->hasScriptParts ? NormalDegrees(o->rotation) : std::atan2(m.b, m.a) * 180 / kPi);
    case ClipProperty::CurrentFrame: return Value::Number(clip->CurrentFrame() + 1.0);
    case ClipProperty::TotalFrames:
    case ClipProperty::FramesLoaded: return Value::Number(clip->FrameCount());
    case ClipProperty::Alpha: return Value::Number(o ? o->colorTransform.aMult / kAlphaUnit * 100 : 100);
    case ClipProperty::Visible: return avm1::BoolValue(*vm_, o ? o->visible : true);
    case ClipProperty::Width:
    case ClipProperty::Height: {
      const Box b = BoxInParent(*clip);
      if (b.empty) return Value::Number(0);
      return Value::Number((property == ClipProperty::Width ? b.x1 - b.x0 : b.y1 - b.y0) / kTwipsPerPixel);
    }
    case ClipProperty::Target: return Text(*vm_, SlashPath(object.Path()));
    case ClipProperty::Name: return Text(*vm_, avm1::FromUtf8(o ? o->name : std::string()));
    case ClipProperty::DropTarget:
    case ClipProperty::Url: return Text(*vm_, u"");
    case ClipProperty::HighQuality: return Value::Number(1);
    case ClipProperty::Quality: return Text(*vm_, u"HIGH");
    case ClipProperty::FocusRect: return avm1::BoolValue(*vm_, true);
    case ClipProperty::SoundBufTime: return Value::Number(5);
    case ClipProperty::XMouse:
    case ClipProperty::YMouse: {
      Matrix inverse;
      if (!ClipToStage(*clip).Invert(inverse)) return Value::Number(0);
      const Point p = inverse.Apply({pointerX_, pointerY_});
      return Value::Number(std::round(property == ClipProperty::XMouse ? p.x : p.y) / kTwipsPerPixel);
    }
  }
  return Value();
}

void MovieScripts::SetProperty(avm1::ClipObject& object, ClipProperty property, const Value& value) {
  Clip* clip = ClipOf(&object);
  DisplayObject* o = clip ? clip->Holder() : nullptr;
  if (!o) return;  // the root and clips being unloaded keep their place
  if (property == ClipProperty::Name) {
    o->name = avm1::ToUtf8(avm1::ToText(*vm_, value));
    return;
  }
  if (property == ClipProperty::Visible) {
    o->visible = avm1::ToBoolean(*vm_, value);
    o->scripted = true;
    return;
  }
  const double v = avm1::ToNumber(*vm_, value);
  if (!std::isfinite(v)) return;  // NaN and infinities leave the property as it is
  switch (property) {
    case ClipProperty::X: o->matrix.tx = v * kTwipsPerPixel; break;
    case ClipProperty::Y: o->matrix.ty = v * kTwipsPerPixel; break;
    case ClipProperty::XScale: TakeParts(*o); o->xScale = v; ComposeParts(*o); break;
    case ClipProperty::YScale: TakeParts(*o); o->yScale = v; ComposeParts(*o); break;
    case ClipProperty::Rotation: TakeParts(*o); o->rotation = NormalDegrees(v); ComposeParts(*o); break;
    case ClipProperty::Alpha: o->colorTransform.aMult = static_cast<int32_t>(std::lround(v / 100 * kAlphaUnit)); break;
    case ClipProperty::Width:
    case ClipProperty::Height: {
      const Box b = BoxInParent(*clip);
      const double now = property == ClipProperty::Width ? b.x1 - b.x0 : b.y1 - b.y0;
      if (b.empty || now <= 0) return;
      TakeParts(*o);
      (property == ClipProperty::Width ? o->xScale : o->yScale) *= v * kTwipsPerPixel / now;
      ComposeParts(*o);
      break;
    }
    default: return;  // read-only
  }
  o->scripted = true;
}

}  // namespace velmora::swf
