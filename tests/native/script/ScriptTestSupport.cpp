#include "ScriptTestSupport.h"

#include "player/script/Realm.h"

namespace velmora::avm1::test {
namespace {

FakeClip& Fake(ClipObject& clip) { return static_cast<FakeClip&>(clip); }

FakeClip* FindPath(FakeClip* clip, std::u16string_view path) {
  if (!clip) return nullptr;
  if (clip->Path() == path && !clip->Removed()) return clip;
  for (FakeClip* child : clip->children_) {
    if (FakeClip* found = FindPath(child, path)) return found;
  }
  return nullptr;
}

}  // namespace

ClipObject* FakeHost::ReviveClip(std::u16string_view path) { return FindPath(root, path); }

void FakeHost::FrameAction(ClipObject& clip, FrameOp op) {
  FakeClip& c = Fake(clip);
  static const char* kNames[] = {"play", "stop", "next", "prev", "stopsounds", "quality"};
  log.push_back(c.name_ + ":" + kNames[static_cast<int>(op)]);
  if (op == FrameOp::Play) c.playing = true;
  if (op == FrameOp::Stop) c.playing = false;
  if (op == FrameOp::NextFrame) ++c.frame;
  if (op == FrameOp::PrevFrame && c.frame > 0) --c.frame;
}

void FakeHost::GotoFrame(ClipObject& clip, uint32_t frame0, bool play) {
  FakeClip& c = Fake(clip);
  c.frame = frame0;
  c.playing = play;
  log.push_back(c.name_ + ":goto" + std::to_string(frame0) + (play ? "+play" : ""));
}

void FakeHost::GotoLabel(ClipObject& clip, std::u16string_view label, bool play) {
  log.push_back(Fake(clip).name_ + ":label " + ToUtf8(label) + (play ? "+play" : ""));
}

Value FakeHost::GetProperty(ClipObject& clip, ClipProperty p) {
  FakeClip& c = Fake(clip);
  if (p == ClipProperty::Name) return Value::String(vm->Intern(FromUtf8(c.name_)));
  if (p == ClipProperty::CurrentFrame) return Value::Number(c.frame + 1);
  if (p == ClipProperty::Target) {
    std::u16string path = c.Path();
    std::u16string slash = path == u"_level0" ? u"/" : path.substr(7);
    for (char16_t& ch : slash) {
      if (ch == u'.') ch = u'/';
    }
    return Value::String(vm->Intern(slash));
  }
  return c.props[static_cast<int>(p)];
}

void FakeHost::SetProperty(ClipObject& clip, ClipProperty p, const Value& v) {
  Fake(clip).props[static_cast<int>(p)] = Value::Number(ToNumber(*vm, v));
}

void FakeHost::CloneSprite(ClipObject& source, std::u16string_view name, int depth) {
  log.push_back("clone " + Fake(source).name_ + " as " + ToUtf8(name) + " at " + std::to_string(depth));
}

void FakeHost::RemoveSprite(ClipObject& clip) {
  log.push_back("remove " + Fake(clip).name_);
  clip.MarkRemoved();
}

void FakeHost::StartDrag(ClipObject& clip, bool lockCenter, const DragBounds* bounds) {
  log.push_back("drag " + Fake(clip).name_ + (lockCenter ? " locked" : "") +
                (bounds ? " " + std::to_string(static_cast<int>(bounds->left)) + "," +
                              std::to_string(static_cast<int>(bounds->bottom))
                        : ""));
}

void FakeHost::GetUrl(const UrlRequest& request) {
  log.push_back("url " + ToUtf8(request.url) + " " + ToUtf8(request.target));
}

void FakeHost::CallFrame(ClipObject& clip, uint32_t frame0) {
  auto it = frameScripts.find(ToUtf8(clip.Path()) + "#" + std::to_string(frame0));
  if (it != frameScripts.end()) vm->Run(it->second.Get(), &clip);
}

bool FakeHost::RegisterClass(std::u16string_view name, Object*) {
  log.push_back("register " + ToUtf8(name));
  return true;
}

ScriptFixture::ScriptFixture(int version, Limits limits) {
  vm = std::make_unique<Vm>(host, version, limits);
  host.vm = vm.get();
  host.root = AddClip(nullptr, "_level0");
  a = AddClip(host.root, "a");
  b = AddClip(a, "b");
  c = AddClip(host.root, "c");
}

FakeClip* ScriptFixture::AddClip(FakeClip* parent, const std::string& name) {
  auto* clip = vm->GetHeap().New<FakeClip>(vm->P().movieClip, name, parent);
  if (parent) parent->children_.push_back(clip);
  clips.emplace_back(vm->GetHeap(), clip);
  return clip;
}

RunResult ScriptFixture::Run(const ActionAssembler& code, FakeClip* clip) {
  std::vector<uint8_t> bytes = code.Bytes();
  Rooted<CodeBlock> block = vm->Load(bytes.data(), bytes.size());
  return vm->Run(block.Get(), clip ? clip : host.root);
}

std::vector<std::string> ScriptFixture::Traces(const ActionAssembler& code, FakeClip* clip) {
  host.traces.clear();
  Run(code, clip);
  return host.traces;
}

}  // namespace velmora::avm1::test
