// AsBroadcaster and the objects whose state the host fills in: Key, Mouse,
// Stage; SharedObject kept in memory only; the display classes' prototypes
// (MovieClip, Button, TextField) for the host to furnish.
#include "player/script/ArrayObject.h"
#include "player/script/Builtins.h"
#include "player/script/Realm.h"

#include <algorithm>

namespace velmora::avm1 {
namespace {

Str* ListenersName(Vm& vm) { return vm.Intern(std::string_view("_listeners")); }

ArrayObject* Listeners(Vm& vm, Object* o) {
  return dynamic_cast<ArrayObject*>(vm.Get(o, ListenersName(vm)).AsObject());
}

Value AddListener(CallInfo& c) {
  ArrayObject* list = Listeners(c.vm, c.ThisObject());
  if (!list) return Value::Bool(false);
  auto& e = list->Elements();
  e.erase(std::remove_if(e.begin(), e.end(), [&](const Value& v) { return StrictEquals(v, c.args[0]); }), e.end());
  list->PushBack(c.vm, c.args[0]);
  return Value::Bool(true);
}

Value RemoveListener(CallInfo& c) {
  ArrayObject* list = Listeners(c.vm, c.ThisObject());
  if (!list) return Value::Bool(false);
  auto& e = list->Elements();
  auto it = std::find_if(e.begin(), e.end(), [&](const Value& v) { return StrictEquals(v, c.args[0]); });
  if (it == e.end()) return Value::Bool(false);
  e.erase(it);
  return Value::Bool(true);
}

Value BroadcastMessage(CallInfo& c) {
  Vm& vm = c.vm;
  ArrayObject* list = Listeners(vm, c.ThisObject());
  if (!list || c.args.Size() == 0) return Value();
  Str* name = vm.Intern(ToStr(vm, c.args[0]));
  Args rest(c.args.Data() + 1, c.args.Size() - 1);
  std::vector<Value> snapshot = list->Elements();
  for (const Value& listener : snapshot) {
    if (vm.Failing()) break;
    Value fn = vm.GetValue(listener, name);
    if (vm.IsCallable(fn)) vm.Call(fn, listener, rest);
  }
  return Value();
}

void MakeBroadcaster(Vm& vm, Object* o) {
  Str* name = ListenersName(vm);
  o->PutOwn(vm.GetHeap(), vm.Key(name), name, Value::Obj(NewArray(vm)), kDontEnum);
  vm.Method(o, "addListener", AddListener);
  vm.Method(o, "removeListener", RemoveListener);
  vm.Method(o, "broadcastMessage", BroadcastMessage);
}

Value Initialize(CallInfo& c) {
  if (Object* o = c.args[0].AsObject()) MakeBroadcaster(c.vm, o);
  return Value();
}

int KeyCode(CallInfo& c) { return ToInt32(NumberArg(c, 0)) & 255; }
Value KeyIsDown(CallInfo& c) { return Value::Bool(c.vm.Input().down[KeyCode(c)]); }
Value KeyIsToggled(CallInfo& c) { return Value::Bool(c.vm.Input().toggled[KeyCode(c)]); }
Value KeyGetCode(CallInfo& c) { return Value::Number(c.vm.Input().lastCode); }
Value KeyGetAscii(CallInfo& c) { return Value::Number(c.vm.Input().lastAscii); }

Value MouseShow(CallInfo& c) {
  bool wasHidden = c.vm.Input().pointerHidden;
  c.vm.Input().pointerHidden = static_cast<NativeFunction*>(c.callee)->Tag() == 1;
  return Value::Number(wasHidden ? 0 : 1);
}

enum StageField { kWidth, kHeight, kScaleMode, kAlign };

Value StageGet(CallInfo& c) {
  StageInfo info = c.vm.Host().Stage();
  switch (static_cast<NativeFunction*>(c.callee)->Tag()) {
    case kWidth: return Value::Number(info.width);
    case kHeight: return Value::Number(info.height);
    case kScaleMode: return TextValue(c.vm, std::u16string(info.scaleMode));
    default: return TextValue(c.vm, std::u16string(info.align));
  }
}

// The size is the host's; the modes a script may choose, the host deciding
// what the text means.
Value StageSet(CallInfo& c) {
  const int field = static_cast<NativeFunction*>(c.callee)->Tag();
  if (field != kScaleMode && field != kAlign) return Value();
  const std::u16string text = ToText(c.vm, c.args[0]);
  if (field == kScaleMode)
    c.vm.Host().SetStageScaleMode(text);
  else
    c.vm.Host().SetStageAlign(text);
  return Value();
}

Value SharedGetLocal(CallInfo& c) {
  Vm& vm = c.vm;
  Object* store = c.callee;
  Str* name = vm.Intern(u"#" + ToText(vm, c.args[0]));
  Value existing = vm.Get(store, name);
  if (existing.IsObject()) return existing;
  Object* so = vm.NewObject(vm.Get(store, vm.N().prototype).AsObject());
  vm.Put(so, vm.Intern(std::string_view("data")), Value::Obj(vm.NewObject()));
  store->PutOwn(vm.GetHeap(), vm.Key(name), name, Value::Obj(so), kDontEnum);
  return Value::Obj(so);
}

Value SharedFlush(CallInfo&) { return Value::Bool(true); }
Value SharedClear(CallInfo& c) {
  if (Object* o = c.ThisObject()) c.vm.Put(o, c.vm.Intern(std::string_view("data")), Value::Obj(c.vm.NewObject()));
  return Value();
}
Value SharedSize(CallInfo&) { return Value::Number(0); }
Value PlainCtor(CallInfo& c) { return c.thisValue; }

void KeyConstants(Vm& vm, Object* key) {
  const std::pair<const char*, int> codes[] = {
      {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40}, {"END", 35},
      {"ENTER", 13}, {"ESCAPE", 27}, {"HOME", 36}, {"INSERT", 45}, {"LEFT", 37}, {"PGDN", 34},
      {"PGUP", 33}, {"RIGHT", 39}, {"SHIFT", 16}, {"SPACE", 32}, {"TAB", 9}, {"UP", 38}};
  for (const auto& [name, code] : codes) SetConstant(vm, key, name, Value::Number(code));
}

}  // namespace

void Vm::Broadcast(Object* source, std::u16string_view message, Args args) {
  if (!source) return;
  std::vector<Value> all;
  all.push_back(Value::String(Intern(message)));
  all.insert(all.end(), args.Data(), args.Data() + args.Size());
  Value fn = Get(source, Intern(std::string_view("broadcastMessage")));
  CallValue(fn, Value::Obj(source), Args(all.data(), all.size()));
}

void InstallInput(Vm& vm) {
  Protos& p = vm.P();
  Object* g = vm.Global();
  p.broadcaster = vm.NewObject();
  SetConstant(vm, g, "AsBroadcaster", Value::Obj(p.broadcaster));
  vm.Method(p.broadcaster, "initialize", Initialize);

  p.key = vm.NewObject();
  SetConstant(vm, g, "Key", Value::Obj(p.key));
  MakeBroadcaster(vm, p.key);
  vm.Method(p.key, "isDown", KeyIsDown);
  vm.Method(p.key, "isToggled", KeyIsToggled);
  vm.Method(p.key, "getCode", KeyGetCode);
  vm.Method(p.key, "getAscii", KeyGetAscii);
  KeyConstants(vm, p.key);

  p.mouse = vm.NewObject();
  SetConstant(vm, g, "Mouse", Value::Obj(p.mouse));
  MakeBroadcaster(vm, p.mouse);
  vm.Method(p.mouse, "show", MouseShow, 0);
  vm.Method(p.mouse, "hide", MouseShow, 1);

  p.stage = vm.NewObject();
  SetConstant(vm, g, "Stage", Value::Obj(p.stage));
  MakeBroadcaster(vm, p.stage);
  DefineAccessor(vm, p.stage, "width", StageGet, StageSet, kWidth);
  DefineAccessor(vm, p.stage, "height", StageGet, StageSet, kHeight);
  DefineAccessor(vm, p.stage, "scaleMode", StageGet, StageSet, kScaleMode);
  DefineAccessor(vm, p.stage, "align", StageGet, StageSet, kAlign);

  Object* sharedProto = vm.NewObject();
  NativeFunction* shared = DefineClass(vm, g, "SharedObject", PlainCtor, sharedProto);
  vm.Method(shared, "getLocal", SharedGetLocal);
  // getLocal keeps its objects on itself, one per name.
  Value getLocal = vm.Get(shared, vm.Intern(std::string_view("getLocal")));
  vm.Put(getLocal.AsObject(), vm.N().prototype, Value::Obj(sharedProto));
  vm.Method(sharedProto, "flush", SharedFlush);
  vm.Method(sharedProto, "clear", SharedClear);
  vm.Method(sharedProto, "getSize", SharedSize);

  p.movieClip = vm.NewObject();
  DefineClass(vm, g, "MovieClip", PlainCtor, p.movieClip);
  p.button = vm.NewObject();
  DefineClass(vm, g, "Button", PlainCtor, p.button);
  p.textField = vm.NewObject();
  DefineClass(vm, g, "TextField", PlainCtor, p.textField);
}

}  // namespace velmora::avm1
