// The drawing methods of MovieClip.prototype (clear, lineStyle, beginFill,
// beginGradientFill, moveTo, lineTo, curveTo, endFill): the script's values
// checked and turned into the twips and styles of the clip's drawing.
#include "player/display/ClipDrawing.h"
#include "player/display/ClipMethods.h"
#include "player/display/MovieScripts.h"
#include "player/script/Convert.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"

#include <algorithm>
#include <cmath>

namespace velmora::swf {
namespace {

using avm1::CallInfo;
using avm1::Value;

constexpr double kTwipsPerPixel = 20;
// Points further out than this are held here: the edges still head the
// right way, and no figure overflows on its way to the screen.
constexpr double kMaxCoordinateTwips = 1 << 30;
// A pen is 0 (a hairline) to 255 pixels wide, as the reference player takes it.
constexpr double kMaxThicknessPixels = 255;
constexpr double kFullAlpha = 100;
// A gradient holds at most this many colours, as the file format does.
constexpr size_t kMaxGradientStops = 15;
constexpr double kMaxRatio = 255;
// The gradient square spans this many of its own units (-16384 to 16384),
// twips when its matrix is the identity.
constexpr double kGradientSquare = 32768;

MovieScripts& Host(CallInfo& c) { return static_cast<MovieScripts&>(c.vm.Host()); }
ClipDrawing* DrawingOf(CallInfo& c) {
  Clip* clip = Host(c).LiveClip(c.ThisObject());
  return clip ? &clip->MutableDrawing() : nullptr;
}

// A script's colour: 0xRRGGBB with alpha 0 to 100 (100 when left out).
Rgba ColorOf(avm1::Vm& vm, const Value& rgb, const Value& alpha) {
  const uint32_t v = avm1::ToUint32(avm1::ToNumber(vm, rgb));
  double a = alpha.IsUndefined() ? kFullAlpha : avm1::ToNumber(vm, alpha);
  if (!(a >= 0)) a = 0;
  a = std::min(a, kFullAlpha);
  return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v),
          static_cast<uint8_t>(std::lround(a * 255 / kFullAlpha))};
}

// A pixel figure in twips; false when it is no finite number.
bool Twips(avm1::Vm& vm, const Value& v, double& out) {
  const double n = avm1::ToNumber(vm, v);
  if (!std::isfinite(n)) return false;
  out = std::clamp(n * kTwipsPerPixel, -kMaxCoordinateTwips, kMaxCoordinateTwips);
  return true;
}

// Arguments `i` and `i + 1` as a point; false when either is no number, and
// the call then draws nothing.
bool PointAt(CallInfo& c, size_t i, Point& p) { return Twips(c.vm, c.args[i], p.x) && Twips(c.vm, c.args[i + 1], p.y); }

double Member(avm1::Vm& vm, avm1::Object* o, const char16_t* name, double missing = 0) {
  const Value v = vm.GetNamed(o, name);
  if (v.IsUndefined()) return missing;
  const double n = avm1::ToNumber(vm, v);
  return std::isfinite(n) ? n : missing;
}

Value ClearDrawing(CallInfo& c) {
  if (ClipDrawing* d = DrawingOf(c)) d->Clear();
  return Value();
}

Value SetLineStyle(CallInfo& c) {
  ClipDrawing* d = DrawingOf(c);
  if (!d) return Value();
  if (c.args[0].IsUndefined()) {
    d->SetLine(false, {});
    return Value();
  }
  double px = avm1::ToNumber(c.vm, c.args[0]);
  if (!(px >= 0)) px = 0;
  swf::LineStyle style;
  style.width = static_cast<uint16_t>(std::lround(std::min(px, kMaxThicknessPixels) * kTwipsPerPixel));
  style.color = ColorOf(c.vm, c.args[1], c.args[2]);
  d->SetLine(true, style);
  return Value();
}

Value SetFill(CallInfo& c) {
  ClipDrawing* d = DrawingOf(c);
  if (!d) return Value();
  // Without a colour there is no fill: what follows is drawn by the pen only.
  if (c.args[0].IsUndefined()) {
    d->EndFill();
    return Value();
  }
  FillStyle style;
  style.kind = FillKind::Solid;
  style.color = ColorOf(c.vm, c.args[0], c.args[1]);
  d->BeginFill(style);
  return Value();
}

// The gradient's matrix from its square to the clip's twips. A "box" gives
// the box the square fills (x, y, w, h in pixels) and the turn of the colours
// within it (r, radians, about the box's centre); {a, b, c, d, tx, ty} maps a
// square of 1638.4 pixels; {a, b, d, e, g, h} (a 3 x 3 matrix) maps the unit
// square about the origin, its axes (a, b) and (d, e) and its centre (g, h).
Matrix GradientMatrix(avm1::Vm& vm, const Value& value) {
  Matrix m;
  avm1::Object* o = value.AsObject();
  if (!o) return m;
  const double k = kTwipsPerPixel / kGradientSquare;
  if (avm1::ToUtf8(avm1::ToText(vm, vm.GetNamed(o, u"matrixType"))) == "box") {
    const double x = Member(vm, o, u"x"), y = Member(vm, o, u"y");
    const double w = Member(vm, o, u"w"), h = Member(vm, o, u"h"), r = Member(vm, o, u"r");
    const double cs = std::cos(r), sn = std::sin(r);
    m = {w * k * cs, h * k * sn, -w * k * sn, h * k * cs, (x + w / 2) * kTwipsPerPixel, (y + h / 2) * kTwipsPerPixel};
    return m;
  }
  if (!vm.GetNamed(o, u"tx").IsUndefined() || !vm.GetNamed(o, u"ty").IsUndefined()) {
    m = {Member(vm, o, u"a", 1), Member(vm, o, u"b"), Member(vm, o, u"c"), Member(vm, o, u"d", 1),
         Member(vm, o, u"tx") * kTwipsPerPixel, Member(vm, o, u"ty") * kTwipsPerPixel};
    return m;
  }
  m = {Member(vm, o, u"a") * k, Member(vm, o, u"b") * k, Member(vm, o, u"d") * k, Member(vm, o, u"e") * k,
       Member(vm, o, u"g") * kTwipsPerPixel, Member(vm, o, u"h") * kTwipsPerPixel};
  return m;
}

// The colours, alphas and ratios as stops: as many as the shortest of the
// three arrays holds, at most 15, each ratio no lower than the one before.
std::vector<GradientStop> GradientStops(avm1::Vm& vm, const Value& colors, const Value& alphas,
                                        const Value& ratios) {
  std::vector<GradientStop> stops;
  avm1::Object *co = colors.AsObject(), *ao = alphas.AsObject(), *ro = ratios.AsObject();
  if (!co || !ao || !ro) return stops;
  double n = kMaxGradientStops;
  for (avm1::Object* o : {co, ao, ro}) n = std::min(n, Member(vm, o, u"length"));
  double lastRatio = 0;
  for (size_t i = 0; static_cast<double>(i) < n; ++i) {
    const std::u16string index = avm1::FromUtf8(std::to_string(i));
    GradientStop stop;
    stop.color = ColorOf(vm, vm.GetNamed(co, index), vm.GetNamed(ao, index));
    lastRatio = std::clamp(Member(vm, ro, index.c_str()), lastRatio, kMaxRatio);
    stop.ratio = static_cast<uint8_t>(std::lround(lastRatio));
    stops.push_back(stop);
  }
  return stops;
}

Value SetGradientFill(CallInfo& c) {
  ClipDrawing* d = DrawingOf(c);
  if (!d) return Value();
  const std::string type = avm1::ToUtf8(avm1::ToText(c.vm, c.args[0]));
  FillStyle style;
  style.gradient.stops = GradientStops(c.vm, c.args[1], c.args[2], c.args[3]);
  // Another type, or no colours: no fill, as with beginFill().
  if ((type != "linear" && type != "radial") || style.gradient.stops.empty()) {
    d->EndFill();
    return Value();
  }
  style.kind = type == "linear" ? FillKind::LinearGradient : FillKind::RadialGradient;
  style.matrix = GradientMatrix(c.vm, c.args[4]);
  d->BeginFill(style);
  return Value();
}

Value StopFill(CallInfo& c) {
  if (ClipDrawing* d = DrawingOf(c)) d->EndFill();
  return Value();
}

Value MoveTo(CallInfo& c) {
  ClipDrawing* d = DrawingOf(c);
  Point p;
  if (d && PointAt(c, 0, p)) d->MoveTo(p);
  return Value();
}

Value LineTo(CallInfo& c) {
  ClipDrawing* d = DrawingOf(c);
  Point p;
  if (d && PointAt(c, 0, p)) d->LineTo(p);
  return Value();
}

Value CurveTo(CallInfo& c) {
  ClipDrawing* d = DrawingOf(c);
  Point control, to;
  if (d && PointAt(c, 0, control) && PointAt(c, 2, to)) d->CurveTo(control, to);
  return Value();
}

}  // namespace

void InstallDrawingMethods(avm1::Vm& vm) {
  avm1::Object* p = vm.P().movieClip;
  vm.Method(p, "clear", ClearDrawing);
  vm.Method(p, "lineStyle", SetLineStyle);
  vm.Method(p, "beginFill", SetFill);
  vm.Method(p, "beginGradientFill", SetGradientFill);
  vm.Method(p, "moveTo", MoveTo);
  vm.Method(p, "lineTo", LineTo);
  vm.Method(p, "curveTo", CurveTo);
  vm.Method(p, "endFill", StopFill);
}

}  // namespace velmora::swf
