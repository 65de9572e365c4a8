// Variables and target paths, and the actions the host carries out: frame
// control, clip properties, clones, drags, URLs, time, chance and trace.
#include "player/script/Convert.h"
#include "player/script/Interpreter.h"
#include "player/script/Realm.h"
#include "player/script/Text.h"
#include "player/script/Vm.h"

#include <cmath>

namespace velmora::avm1 {
namespace {

bool IsPathSeparator(char16_t c) { return c == u'/' || c == u'.' || c == u':'; }

// "_level12" -> 12; -1 for any other name.
int LevelNumber(std::u16string_view name) {
  constexpr std::u16string_view kLevel = u"_level";
  if (name.size() <= kLevel.size() || name.size() > kLevel.size() + 4) return -1;
  for (size_t i = 0; i < kLevel.size(); ++i) {
    char16_t c = name[i];
    if ((c | 0x20) != (kLevel[i] | 0x20) && c != kLevel[i]) return -1;
  }
  int n = 0;
  for (size_t i = kLevel.size(); i < name.size(); ++i) {
    if (name[i] < u'0' || name[i] > u'9') return -1;
    n = n * 10 + (name[i] - u'0');
  }
  return n;
}

ClipObject* AsClip(Object* o) { return o && o->IsDisplayObject() ? static_cast<ClipObject*>(o) : nullptr; }

}  // namespace

Object* Interpreter::BaseObject(const Frame& f) {
  Scope* s = f.scope;
  while (s && s->Next()) s = s->Next();
  if (s) return s->GetObject();
  return f.target;
}

bool Interpreter::LookupInScope(Str* name, Value& out, Object** holder) {
  Frame* f = Current();
  for (Scope* s = f ? f->scope : nullptr; s; s = s->Next()) {
    if (vm_.Get(s->GetObject(), name, out)) {
      *holder = s->GetObject();
      return true;
    }
  }
  if (vm_.Get(vm_.Global(), name, out)) {
    *holder = vm_.Global();
    return true;
  }
  return false;
}

Value Interpreter::GetVariable(Str* name, Object** foundOn) {
  Vm& vm = vm_;
  if (foundOn) *foundOn = nullptr;
  Frame* f = Current();
  const Names& n = vm.N();
  Str* key = vm.Key(name);
  const std::u16string& text = name->Text();
  if (f) {
    if (key == n.thisName) return f->thisValue;
    if (key == n.arguments && f->arguments) return Value::Obj(f->arguments);
    if (key == n.superName && f->callee) return Value::Obj(MakeSuper(vm, *f));
  }
  if (key == n.global) return Value::Obj(vm.Global());
  // A path: "a.b.c", "/a/b:c", "../c", "a:b".
  bool slash = text.find(u'/') != std::u16string::npos;
  size_t cut = slash ? text.find_last_of(u':') : text.find_last_of(u":.");
  if (cut != std::u16string::npos && cut > 0 && cut + 1 < text.size()) {
    Object* holder = ResolvePath(std::u16string_view(text).substr(0, cut), nullptr);
    if (!holder) return Value();
    return vm.Get(holder, vm.Intern(std::u16string_view(text).substr(cut + 1)));
  }
  if (slash) return Value::Obj(ResolvePath(text, nullptr));
  Value out;
  Object* holder = nullptr;
  if (LookupInScope(name, out, &holder)) {
    if (foundOn) *foundOn = holder;
    return out;
  }
  int level = text.size() > 6 && text[0] == u'_' ? LevelNumber(text) : -1;
  if (level >= 0) return Value::Obj(vm.Host().Level(level));
  return Value();
}

void Interpreter::SetVariable(Str* name, const Value& value) {
  Vm& vm = vm_;
  const std::u16string& text = name->Text();
  bool slash = text.find(u'/') != std::u16string::npos;
  size_t cut = slash ? text.find_last_of(u':') : text.find_last_of(u":.");
  if (cut != std::u16string::npos && cut > 0 && cut + 1 < text.size()) {
    Object* holder = ResolvePath(std::u16string_view(text).substr(0, cut), nullptr);
    if (holder) vm.Put(holder, vm.Intern(std::u16string_view(text).substr(cut + 1)), value);
    return;
  }
  Frame* f = Current();
  if (!f) return;
  // An existing variable of the chain is set where it is; a new one goes to
  // the timeline the code belongs to (not to a function's locals).
  Str* key = vm.Key(name);
  for (Scope* s = f->scope; s; s = s->Next()) {
    Object* o = s->GetObject();
    if (o->FindOwn(key) || (s->Next() == nullptr && vm.HasProperty(o, name))) {
      vm.Put(o, name, value);
      return;
    }
  }
  if (Object* base = BaseObject(*f)) vm.Put(base, name, value);
}

Object* Interpreter::ResolveFirstSegment(std::u16string_view segment) {
  Vm& vm = vm_;
  Frame* f = Current();
  ClipObject* target = f ? f->target : nullptr;
  if (segment == u"_root") return vm.RootOf(target);
  if (segment == u"this") return f ? f->thisValue.AsObject() : nullptr;
  if (segment == u"_global") return vm.Global();
  if (segment == u"_parent" || segment == u"..") return target ? target->ParentClip() : nullptr;
  int level = LevelNumber(segment);
  if (level >= 0) return vm.Host().Level(level);
  // The first name is a variable of the scope chain, tried in each scope.
  return GetVariable(vm.Intern(segment)).AsObject();
}

Object* Interpreter::PathStep(Object* from, std::u16string_view segment) {
  if (!from) return nullptr;
  if (segment == u"..") {
    ClipObject* clip = AsClip(from);
    return clip ? clip->ParentClip() : nullptr;
  }
  if (segment == u"_root") return vm_.RootOf(from);
  int level = LevelNumber(segment);
  if (level >= 0) return vm_.Host().Level(level);
  return vm_.Get(from, vm_.Intern(segment)).AsObject();
}

Object* Interpreter::ResolvePath(std::u16string_view path, Object* start) {
  Frame* f = Current();
  Object* current = start ? start : (f ? static_cast<Object*>(f->target) : nullptr);
  size_t i = 0;
  bool first = start == nullptr;
  if (!path.empty() && path[0] == u'/') {
    current = vm_.RootOf(current);
    i = 1;
    first = false;
  }
  while (i < path.size()) {
    size_t j = i;
    if (path.substr(i, 2) == u"..") {
      j = i + 2;
    } else {
      while (j < path.size() && !IsPathSeparator(path[j])) ++j;
    }
    std::u16string_view segment = path.substr(i, j - i);
    if (!segment.empty()) {
      current = first ? ResolveFirstSegment(segment) : PathStep(current, segment);
      if (!current) return nullptr;
      first = false;
    }
    i = j + 1;
  }
  return current;
}

ClipObject* Interpreter::TargetFromValue(const Value& v) {
  if (v.IsObject()) return AsClip(v.AsObject()->Live(vm_));
  if (v.IsNullish()) return nullptr;
  Str* text = ToStr(vm_, v);
  return AsClip(ResolvePath(text->Text(), nullptr));
}

void Interpreter::DoSetTarget(ClipObject* clip) {
  Frame& f = frames_.back();
  f.target = clip ? clip : f.baseTarget;
  // Top-level code reads its variables from the target (tellTarget).
  if (!f.callee && f.target) f.scope = vm_.GetHeap().New<Scope>(f.target, nullptr);
}

void Interpreter::DoGotoValue(const Value& frameValue, bool play, uint32_t bias) {
  Frame& f = frames_.back();
  ClipObject* clip = f.target;
  ScriptHost& host = vm_.Host();
  if (frameValue.IsNumber() || frameValue.IsBoolean()) {
    double n = ToNumber(vm_, frameValue);
    if (clip && std::isfinite(n) && n >= 1) host.GotoFrame(*clip, static_cast<uint32_t>(std::min(n, 16000.0)) - 1 + bias, play);
    return;
  }
  std::u16string text = ToText(vm_, frameValue);
  size_t colon = text.find_last_of(u':');
  if (colon != std::u16string::npos) {
    clip = AsClip(ResolvePath(std::u16string_view(text).substr(0, colon), nullptr));
    text = text.substr(colon + 1);
  }
  if (!clip) return;
  double n = TextToNumber(text);
  if (std::isfinite(n) && !text.empty()) {
    if (n >= 1) host.GotoFrame(*clip, static_cast<uint32_t>(std::min(n, 16000.0)) - 1 + bias, play);
  } else {
    host.GotoLabel(*clip, text, play);
  }
}

bool Interpreter::StepHost(const Instr& in) {
  Vm& vm = vm_;
  ScriptHost& host = vm.Host();
  Frame& f = frames_.back();
  ClipObject* target = f.target;
  auto frameOp = [&](FrameOp op) {
    if (target) host.FrameAction(*target, op);
  };
  switch (in.op) {
    case Op::NextFrame: frameOp(FrameOp::NextFrame); return true;
    case Op::PrevFrame: frameOp(FrameOp::PrevFrame); return true;
    case Op::Play: frameOp(FrameOp::Play); return true;
    case Op::Stop: frameOp(FrameOp::Stop); return true;
    case Op::ToggleQuality: frameOp(FrameOp::ToggleQuality); return true;
    case Op::StopSounds: frameOp(FrameOp::StopSounds); return true;
    case Op::GotoFrame:
      if (target) host.GotoFrame(*target, in.aux, false);
      return true;
    case Op::GotoLabel:
      if (target) host.GotoLabel(*target, f.code->String(in.aux)->Text(), false);
      return true;
    case Op::GotoFrame2: DoGotoValue(Pop(), (in.aux & 1) != 0, in.count); return true;
    case Op::SetTarget: {
      const std::u16string& path = f.code->String(in.aux)->Text();
      DoSetTarget(path.empty() ? nullptr : AsClip(ResolvePath(path, nullptr)));
      return true;
    }
    case Op::SetTarget2: {
      Value v = Pop();
      bool empty = v.IsString() && v.AsString()->Length() == 0;
      DoSetTarget(empty ? nullptr : TargetFromValue(v));
      return true;
    }
    case Op::WaitForFrame:
    case Op::WaitForFrame2:
      // Every frame of a movie is loaded before it plays: never skip.
      if (in.op == Op::WaitForFrame2) Pop();
      return true;
    case Op::Call: {
      Value v = Pop();
      ClipObject* clip = target;
      std::u16string text = ToText(vm, v);
      size_t colon = text.find_last_of(u':');
      if (colon != std::u16string::npos) {
        clip = AsClip(ResolvePath(std::u16string_view(text).substr(0, colon), nullptr));
        text = text.substr(colon + 1);
      }
      if (!clip) return true;
      double n = TextToNumber(text);
      if (std::isfinite(n) && !text.empty()) {
        if (n >= 1) host.CallFrame(*clip, static_cast<uint32_t>(std::min(n, 16000.0)) - 1);
      } else {
        host.CallFrameLabel(*clip, text);
      }
      return true;
    }
    case Op::GetProperty: {
      double index = ToNumber(vm, Pop());
      ClipObject* clip = TargetFromValue(Pop());
      if (!clip && !target) {
        Push(Value());
        return true;
      }
      if (!clip) clip = target;
      bool valid = index >= 0 && index < kClipPropertyCount;
      Push(valid ? host.GetProperty(*clip, static_cast<ClipProperty>(static_cast<int>(index))) : Value());
      return true;
    }
    case Op::SetProperty: {
      Value value = Pop();
      double index = ToNumber(vm, Pop());
      Value t = Pop();
      ClipObject* clip = (t.IsString() && t.AsString()->Length() == 0) ? target : TargetFromValue(t);
      if (clip && index >= 0 && index < kClipPropertyCount) {
        host.SetProperty(*clip, static_cast<ClipProperty>(static_cast<int>(index)), value);
      }
      return true;
    }
    case Op::CloneSprite: {
      double depth = ToNumber(vm, Pop());
      std::u16string name = ToText(vm, Pop());
      ClipObject* source = TargetFromValue(Pop());
      if (source && std::isfinite(depth)) host.CloneSprite(*source, name, static_cast<int>(ToInt32(depth)));
      return true;
    }
    case Op::RemoveSprite: {
      if (ClipObject* clip = TargetFromValue(Pop())) host.RemoveSprite(*clip);
      return true;
    }
    case Op::StartDrag: {
      ClipObject* clip = TargetFromValue(Pop());
      bool lockCenter = ToBoolean(vm, Pop());
      bool constrain = ToBoolean(vm, Pop());
      DragBounds bounds;
      if (constrain) {
        bounds.bottom = ToNumber(vm, Pop());
        bounds.right = ToNumber(vm, Pop());
        bounds.top = ToNumber(vm, Pop());
        bounds.left = ToNumber(vm, Pop());
      }
      if (clip) host.StartDrag(*clip, lockCenter, constrain ? &bounds : nullptr);
      return true;
    }
    case Op::EndDrag: host.EndDrag(); return true;
    case Op::GetUrl: {
      UrlRequest request;
      request.url = f.code->String(in.aux)->Text();
      request.target = f.code->String(in.aux + 1)->Text();
      host.GetUrl(request);
      return true;
    }
    case Op::GetUrl2: {
      std::u16string targetText = ToText(vm, Pop());
      std::u16string url = ToText(vm, Pop());
      UrlRequest request;
      request.url = url;
      request.target = targetText;
      request.method = static_cast<int>(in.aux >> 6);
      request.loadTarget = (in.aux & 0x02) != 0;
      request.loadVariables = (in.aux & 0x01) != 0;
      host.GetUrl(request);
      return true;
    }
    case Op::Trace: {
      Value v = Pop();
      std::u16string text = v.IsUndefined() ? u"undefined" : ToText(vm, v);
      host.Trace(ToUtf8(text));
      return true;
    }
    case Op::GetTime: Push(Value::Number(std::floor(host.TimerMs()))); return true;
    case Op::RandomNumber: {
      double max = ToInteger(ToNumber(vm, Pop()));
      double r = max > 0 ? std::floor(host.Random() * max) : 0;
      Push(Value::Number(r >= max && max > 0 ? max - 1 : r));
      return true;
    }
    case Op::TargetPath: {
      ClipObject* clip = AsClip(Pop().AsObject());
      if (clip && (clip = AsClip(clip->Live(vm)))) {
        Push(Value::String(vm.NewString(clip->Path())));
      } else {
        Push(Value());
      }
      return true;
    }
    case Op::FsCommand2: return true;
    default: return false;
  }
}

}  // namespace velmora::avm1
