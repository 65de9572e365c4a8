// Value classes that need no display: flash.geom.Matrix, Point and
// ColorTransform, and TextFormat; plain objects with their methods.
#include "player/script/Builtins.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"

#include <cmath>

namespace velmora::avm1 {
namespace {

double Field(Vm& vm, Object* o, const char* name) { return ToNumber(vm, vm.Get(o, vm.Intern(std::string_view(name)))); }
void SetField(Vm& vm, Object* o, const char* name, double v) { vm.Put(o, vm.Intern(std::string_view(name)), Value::Number(v)); }

struct M {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

M ReadMatrix(Vm& vm, Object* o) {
  if (!o) return M();
  return M{Field(vm, o, "a"), Field(vm, o, "b"), Field(vm, o, "c"), Field(vm, o, "d"), Field(vm, o, "tx"), Field(vm, o, "ty")};
}

void WriteMatrix(Vm& vm, Object* o, const M& m) {
  if (!o) return;
  SetField(vm, o, "a", m.a);
  SetField(vm, o, "b", m.b);
  SetField(vm, o, "c", m.c);
  SetField(vm, o, "d", m.d);
  SetField(vm, o, "tx", m.tx);
  SetField(vm, o, "ty", m.ty);
}

// this then other: a point goes through `first`, then through `second`.
M Multiply(const M& first, const M& second) {
  return M{first.a * second.a + first.b * second.c, first.a * second.b + first.b * second.d,
           first.c * second.a + first.d * second.c, first.c * second.b + first.d * second.d,
           first.tx * second.a + first.ty * second.c + second.tx, first.tx * second.b + first.ty * second.d + second.ty};
}

Object* Protoed(Vm& vm, const char* className) {
  Object* geom = vm.Get(vm.Get(vm.Global(), vm.Intern(std::string_view("flash"))).AsObject(), vm.Intern(std::string_view("geom"))).AsObject();
  Value ctor = vm.Get(geom, vm.Intern(std::string_view(className)));
  return vm.Construct(ctor, Args()).AsObject();
}

Object* NewPoint(Vm& vm, double x, double y) {
  Object* p = Protoed(vm, "Point");
  if (!p) return nullptr;
  SetField(vm, p, "x", x);
  SetField(vm, p, "y", y);
  return p;
}

Value MatrixCtor(CallInfo& c) {
  M m;
  if (c.args.Size() > 0) m = M{NumberArg(c, 0), NumberArg(c, 1), NumberArg(c, 2), NumberArg(c, 3), NumberArg(c, 4), NumberArg(c, 5)};
  WriteMatrix(c.vm, c.ThisObject(), m);
  return c.thisValue;
}

enum MatrixOp { kIdentity, kInvert, kRotate, kScale, kTranslate, kConcat, kCreateBox, kGradientBox, kClone,
                kTransformPoint, kDeltaTransformPoint, kToString };

Value MatrixMethod(CallInfo& c) {
  Vm& vm = c.vm;
  Object* self = c.ThisObject();
  M m = ReadMatrix(vm, self);
  switch (static_cast<NativeFunction*>(c.callee)->Tag()) {
    case kIdentity: m = M(); break;
    case kInvert: {
      double det = m.a * m.d - m.b * m.c;
      if (det == 0) {
        m = M{0, 0, 0, 0, -m.tx, -m.ty};
        break;
      }
      M r{m.d / det, -m.b / det, -m.c / det, m.a / det, 0, 0};
      r.tx = -(r.a * m.tx + r.c * m.ty);
      r.ty = -(r.b * m.tx + r.d * m.ty);
      m = r;
      break;
    }
    case kRotate: {
      double angle = NumberArg(c, 0), cs = std::cos(angle), sn = std::sin(angle);
      m = Multiply(m, M{cs, sn, -sn, cs, 0, 0});
      break;
    }
    case kScale: m = Multiply(m, M{NumberArg(c, 0), 0, 0, NumberArg(c, 1), 0, 0}); break;
    case kTranslate:
      m.tx += NumberArg(c, 0);
      m.ty += NumberArg(c, 1);
      break;
    case kConcat: m = Multiply(m, ReadMatrix(vm, c.args[0].AsObject())); break;
    case kCreateBox:
    case kGradientBox: {
      bool gradient = static_cast<NativeFunction*>(c.callee)->Tag() == kGradientBox;
      double sx = NumberArg(c, 0), sy = NumberArg(c, 1);
      double angle = c.args.Size() > 2 ? NumberArg(c, 2) : 0;
      double tx = c.args.Size() > 3 ? NumberArg(c, 3) : 0, ty = c.args.Size() > 4 ? NumberArg(c, 4) : 0;
      if (gradient) {
        // The gradient square is 1638.4 units wide, centred on the box.
        constexpr double kGradientSquare = 1638.4;
        tx += sx / 2;
        ty += sy / 2;
        sx /= kGradientSquare;
        sy /= kGradientSquare;
      }
      double cs = std::cos(angle), sn = std::sin(angle);
      m = M{cs * sx, sn * sy, -sn * sx, cs * sy, tx, ty};
      break;
    }
    case kClone: {
      Object* copy = Protoed(vm, "Matrix");
      WriteMatrix(vm, copy, m);
      return Value::Obj(copy);
    }
    case kTransformPoint:
    case kDeltaTransformPoint: {
      Object* p = c.args[0].AsObject();
      double x = p ? Field(vm, p, "x") : 0, y = p ? Field(vm, p, "y") : 0;
      bool delta = static_cast<NativeFunction*>(c.callee)->Tag() == kDeltaTransformPoint;
      return Value::Obj(NewPoint(vm, m.a * x + m.c * y + (delta ? 0 : m.tx), m.b * x + m.d * y + (delta ? 0 : m.ty)));
    }
    default: {
      std::u16string t = u"(a=" + NumberToText(m.a) + u", b=" + NumberToText(m.b) + u", c=" + NumberToText(m.c) +
                         u", d=" + NumberToText(m.d) + u", tx=" + NumberToText(m.tx) + u", ty=" + NumberToText(m.ty) + u")";
      return TextValue(vm, std::move(t));
    }
  }
  WriteMatrix(vm, self, m);
  return Value();
}

Value PointCtor(CallInfo& c) {
  if (Object* o = c.ThisObject()) {
    SetField(c.vm, o, "x", c.args.Size() > 0 ? NumberArg(c, 0) : 0);
    SetField(c.vm, o, "y", c.args.Size() > 1 ? NumberArg(c, 1) : 0);
  }
  return c.thisValue;
}

enum PointOp { kAdd, kSubtract, kPointClone, kEquals, kPointToString, kOffset };

Value PointMethod(CallInfo& c) {
  Vm& vm = c.vm;
  Object* self = c.ThisObject();
  Object* other = c.args[0].AsObject();
  double x = Field(vm, self, "x"), y = Field(vm, self, "y");
  double ox = other ? Field(vm, other, "x") : 0, oy = other ? Field(vm, other, "y") : 0;
  switch (static_cast<NativeFunction*>(c.callee)->Tag()) {
    case kAdd: return Value::Obj(NewPoint(vm, x + ox, y + oy));
    case kSubtract: return Value::Obj(NewPoint(vm, x - ox, y - oy));
    case kPointClone: return Value::Obj(NewPoint(vm, x, y));
    case kEquals: return Value::Bool(other && x == ox && y == oy);
    case kOffset:
      SetField(vm, self, "x", x + NumberArg(c, 0));
      SetField(vm, self, "y", y + NumberArg(c, 1));
      return Value();
    default: return TextValue(vm, u"(x=" + NumberToText(x) + u", y=" + NumberToText(y) + u")");
  }
}

const char* const kTransformFields[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                        "redOffset", "greenOffset", "blueOffset", "alphaOffset"};

Value ColorTransformCtor(CallInfo& c) {
  Object* o = c.ThisObject();
  for (int i = 0; i < 8 && o; ++i) {
    double fallback = i < 4 ? 1 : 0;
    SetField(c.vm, o, kTransformFields[i], static_cast<size_t>(i) < c.args.Size() ? NumberArg(c, i) : fallback);
  }
  return c.thisValue;
}

Value ColorTransformConcat(CallInfo& c) {
  Vm& vm = c.vm;
  Object* self = c.ThisObject();
  Object* second = c.args[0].AsObject();
  if (!self || !second) return Value();
  double s[8], o[8];
  for (int i = 0; i < 8; ++i) {
    s[i] = Field(vm, self, kTransformFields[i]);
    o[i] = Field(vm, second, kTransformFields[i]);
  }
  // The argument's transform runs first, then this one.
  for (int i = 0; i < 4; ++i) {
    SetField(vm, self, kTransformFields[i + 4], s[i + 4] + o[i + 4] * s[i]);
    SetField(vm, self, kTransformFields[i], s[i] * o[i]);
  }
  return Value();
}

Value RgbGet(CallInfo& c) {
  Object* o = c.ThisObject();
  int r = ToInt32(Field(c.vm, o, "redOffset")), g = ToInt32(Field(c.vm, o, "greenOffset")),
      b = ToInt32(Field(c.vm, o, "blueOffset"));
  return Value::Number(((r & 255) << 16) | ((g & 255) << 8) | (b & 255));
}

Value RgbSet(CallInfo& c) {
  Object* o = c.ThisObject();
  uint32_t rgb = ToUint32(NumberArg(c, 0));
  for (int i = 0; i < 3; ++i) SetField(c.vm, o, kTransformFields[i], 0);
  SetField(c.vm, o, "redOffset", (rgb >> 16) & 255);
  SetField(c.vm, o, "greenOffset", (rgb >> 8) & 255);
  SetField(c.vm, o, "blueOffset", rgb & 255);
  return Value();
}

Value TextFormatCtor(CallInfo& c) {
  static const char* const kFields[] = {"font", "size", "color", "bold", "italic", "underline", "url", "target",
                                        "align", "leftMargin", "rightMargin", "indent", "leading"};
  Object* o = c.ThisObject();
  for (size_t i = 0; i < 13 && o; ++i) {
    Value v = i < c.args.Size() ? c.args[i] : Value::Null();
    c.vm.Put(o, c.vm.Intern(std::string_view(kFields[i])), v);
  }
  return c.thisValue;
}

}  // namespace

void InstallGeometry(Vm& vm) {
  Object* flash = vm.NewObject();
  Object* geom = vm.NewObject();
  SetConstant(vm, vm.Global(), "flash", Value::Obj(flash));
  vm.Put(flash, vm.Intern(std::string_view("geom")), Value::Obj(geom));

  Object* matrix = vm.NewObject();
  DefineClass(vm, geom, "Matrix", MatrixCtor, matrix);
  const char* matrixMethods[] = {"identity", "invert", "rotate", "scale", "translate", "concat", "createBox",
                                 "createGradientBox", "clone", "transformPoint", "deltaTransformPoint", "toString"};
  for (int i = 0; i <= kToString; ++i) vm.Method(matrix, matrixMethods[i], MatrixMethod, i);

  Object* point = vm.NewObject();
  DefineClass(vm, geom, "Point", PointCtor, point);
  const char* pointMethods[] = {"add", "subtract", "clone", "equals", "toString", "offset"};
  for (int i = 0; i <= kOffset; ++i) vm.Method(point, pointMethods[i], PointMethod, i);

  Object* transform = vm.NewObject();
  DefineClass(vm, geom, "ColorTransform", ColorTransformCtor, transform);
  vm.Method(transform, "concat", ColorTransformConcat);
  DefineAccessor(vm, transform, "rgb", RgbGet, RgbSet);

  Object* format = vm.NewObject();
  DefineClass(vm, vm.Global(), "TextFormat", TextFormatCtor, format);
}

}  // namespace velmora::avm1
