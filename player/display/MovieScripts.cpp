#include "player/display/MovieScripts.h"

#include "player/display/ClipMethods.h"
#include "player/display/SpriteObject.h"
#include "player/script/Convert.h"
#include "player/script/Realm.h"
#include "player/swf/TagCodes.h"
#include "player/script/Text.h"

#include <chrono>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace velmora::swf {
namespace {

// Runs one tick may make at most (frame scripts, events, go-tos that enter
// frames): past it the rest of the tick's queue is dropped.
constexpr size_t kMaxRunsPerTick = 200000;
// Trace lines kept for the tools and tests.
constexpr size_t kKeptTraceLines = 1000;
constexpr double kMsPerDay = 86400000;

// Days from 1970-01-01 to the date (proleptic Gregorian).
double DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<double>(era) * 146097 + doe - 719468;
}

}  // namespace

bool ParseLocalTime(const std::string& text, double& ms) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6) return false;
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || y < 1970 || y > 9999) return false;
  ms = DaysFromCivil(y, mo, d) * kMsPerDay + ((h * 60.0 + mi) * 60.0 + s) * 1000.0;
  return true;
}

MovieScripts::MovieScripts(const Movie& movie, avm1::Limits limits) : movie_(movie) {
  vm_ = std::make_unique<avm1::Vm>(*this, movie.version, limits);
  InstallClipMethods(*vm_);
  InstallDrawingMethods(*vm_);
  InstallColorClass(*vm_);
  InstallTextFormat(*vm_);
  emptyTimeline_.frames.resize(1);
  emptySprite_.kind = Character::Kind::Sprite;
  emptySprite_.sprite = std::shared_ptr<const Timeline>(&emptyTimeline_, [](const Timeline*) {});
  for (const auto& entry : movie.exports) exportedIds_.insert(entry.second);
  for (const auto& entry : movie.dictionary) {
    const EditText* field = entry.second.editText.get();
    if (entry.second.kind == Character::Kind::EditText && field && !field->variableName.empty())
      hasBoundFields_ = true;
  }
}

MovieScripts::~MovieScripts() {
  // Clips held here pin cells of the engine's heap: they go first.
  queue_.clear();
  unloading_.clear();
}

void MovieScripts::BindRoot(Clip& root) {
  root_ = &root;
  root.BindScripts(this);
}

double MovieScripts::MovieMs() const {
  const double period = movie_.frameRate > 0 ? 1000.0 / movie_.frameRate : 1000.0 / 12;
  return ticks_ == 0 ? 0 : (ticks_ - 1) * period;
}

void MovieScripts::Tick() {
  if (!root_) return;
  ++ticks_;
  gotoFrames_ = 0;
  vm_->BeginFrame();
  root_->Advance();
  if (!root_->Loaded()) root_->SetLoaded();
  BindFields(false);
  RunQueue();
  vm_->TickTimers(MovieMs());
  RunQueue();
  BindFields(true);
  unloading_.clear();
  vm_->CollectIfNeeded();
}

avm1::Rooted<SpriteObject> MovieScripts::NewObject(Clip& clip, uint16_t characterId) {
  (void)characterId;
  ++liveClips_;
  // A button's object answers for its properties as a clip's does, with
  // Button's methods.
  avm1::Object* proto = clip.GetButton() ? vm_->P().button : vm_->P().movieClip;
  auto* object = vm_->GetHeap().New<SpriteObject>(proto, &clip);
  return avm1::Rooted<SpriteObject>(vm_->GetHeap(), object);
}

avm1::CodeBlock* MovieScripts::Code(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return nullptr;
  auto it = code_.find(bytes.data());
  if (it == code_.end()) it = code_.emplace(bytes.data(), vm_->Load(bytes.data(), bytes.size())).first;
  return it->second.Get();
}

void MovieScripts::QueueCode(Clip& clip, const std::vector<uint8_t>& bytes) {
  if (!clip.Object()) return;
  Pending p;
  p.target = clip.Object();
  p.code = Code(bytes);
  if (p.code) queue_.push_back(std::move(p));
}

void MovieScripts::QueueFrame(Clip& clip, uint32_t frame, bool byGoto) {
  if (frame >= clip.FrameCount()) return;
  if (byGoto && ++gotoFrames_ > kMaxGotoFramesPerTick) return;
  const Frame& f = clip.GetTimeline().frames[frame];
  // Initialisation actions run once, before the frame scripts, on the root.
  for (const InitAction& init : f.initActions)
    if (initDone_.insert(&init).second && root_) QueueCode(*root_, init.actions);
  for (const std::vector<uint8_t>& script : f.scripts) QueueCode(clip, script);
}

void MovieScripts::QueueEvent(Clip& clip, const std::vector<ClipAction>* actions, uint32_t event,
                              const char16_t* method) {
  if (!clip.Object()) return;
  if (actions)
    for (const ClipAction& a : *actions)
      if (a.events & event) QueueCode(clip, a.actions);
  if (!method || !HasHandler(clip.Object(), method)) return;
  Pending p;
  p.kind = Pending::Kind::Method;
  p.target = clip.Object();
  p.method = method;
  queue_.push_back(std::move(p));
}

const avm1::Property* MovieScripts::FindInChain(avm1::Object* object, const char16_t* name) {
  // Looked up without running anything (a getter is not called): the
  // timelines are being walked.
  constexpr int kMaxProtoChain = 256;
  avm1::Str* key = vm_->Key(vm_->Intern(std::u16string_view(name)));
  int guard = 0;
  for (avm1::Object* o = object; o && guard < kMaxProtoChain; o = o->Proto(), ++guard)
    if (const avm1::Property* p = o->FindOwn(key)) return p;
  return nullptr;
}

bool MovieScripts::HasHandler(avm1::Object* object, const char16_t* name) {
  // A getter counts: it is queued, not called.
  const avm1::Property* p = FindInChain(object, name);
  return p && ((p->flags & avm1::kAccessor) || vm_->IsCallable(p->value));
}

void MovieScripts::StartClip(Clip& clip) {
  if (clip.Object() && clip.Holder() && exportedIds_.count(clip.Holder()->characterId)) {
    Pending p;
    p.kind = Pending::Kind::Construct;
    p.target = clip.Object();
    queue_.push_back(std::move(p));
  }
  clip.Start();
  const std::vector<ClipAction>* actions = clip.Holder() ? clip.Holder()->clipActions : nullptr;
  QueueEvent(clip, actions, clipevent::kLoad, u"onLoad");
  clip.SetLoaded();
}

void MovieScripts::EnterFrameEvent(Clip& clip) {
  if (!clip.Loaded()) return;
  const std::vector<ClipAction>* actions = clip.Holder() ? clip.Holder()->clipActions : nullptr;
  QueueEvent(clip, actions, clipevent::kEnterFrame, u"onEnterFrame");
}

void MovieScripts::Unload(std::unique_ptr<Clip> clip, const std::vector<ClipAction>* clipActions) {
  if (!clip) return;
  if (clip->Object()) {
    clip->Object()->FixPath();
    QueueEvent(*clip, clipActions, clipevent::kUnload, u"onUnload");
  }
  clip->holder_ = nullptr;
  clip->parent_ = nullptr;
  unloading_.push_back(std::move(clip));
}

void MovieScripts::RunQueue() {
  size_t runs = 0;
  for (size_t i = 0; i < queue_.size(); ++i) {
    if (++runs > kMaxRunsPerTick) {
      ++stops_;
      lastStop_ = avm1::StopReason::ActionLimit;
      break;
    }
    Pending p = std::move(queue_[i]);
    RunPending(p);
  }
  queue_.clear();
}

void MovieScripts::RunPending(Pending& p) {
  SpriteObject* object = p.target;
  if (!object || !object->GetClip()) return;  // the clip went before its turn
  switch (p.kind) {
    case Pending::Kind::Code: vm_->Run(p.code, object); break;
    case Pending::Kind::Method: vm_->CallMethodByName(object, p.method, avm1::Args()); break;
    case Pending::Kind::Construct: Construct(*object); break;
  }
}

void MovieScripts::Construct(SpriteObject& object) {
  // The class registered for the clip's symbol, looked up when it runs: an
  // #initclip of the same frame may have registered it after the placement.
  Clip* clip = object.GetClip();
  if (!clip || !clip->Holder()) return;
  auto it = classes_.find(clip->Holder()->characterId);
  if (it == classes_.end()) return;
  avm1::Object* ctor = it->second.Get();
  avm1::Object* proto = vm_->GetNamed(ctor, u"prototype").AsObject();
  if (proto) object.SetProto(proto);
  vm_->CallValue(avm1::Value::Obj(ctor), avm1::Value::Obj(&object), avm1::Args());
}

bool MovieScripts::RegisterClass(std::u16string_view name, avm1::Object* constructor) {
  uint16_t id = ExportedId(avm1::ToUtf8(name));
  if (id == 0) return false;
  if (constructor)
    classes_[id] = avm1::Rooted<avm1::Object>(vm_->GetHeap(), constructor);
  else
    classes_.erase(id);
  return true;
}

uint16_t MovieScripts::ExportedId(const std::string& name) const {
  auto it = movie_.exports.find(name);
  if (it != movie_.exports.end()) return it->second;
  auto lower = [](std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
  };
  const std::string wanted = lower(name);
  for (const auto& entry : movie_.exports)
    if (lower(entry.first) == wanted) return entry.second;
  return 0;
}

// --- Input ------------------------------------------------------------------

void MovieScripts::BroadcastClipEvent(Clip& clip, uint32_t event, const char16_t* method) {
  for (auto& entry : clip.MutableDisplayList())
    if (entry.second.clip) BroadcastClipEvent(*entry.second.clip, event, method);
  if (clip.Object() && clip.Loaded()) QueueEvent(clip, clip.Holder() ? clip.Holder()->clipActions : nullptr, event, method);
}

void MovieScripts::PointerMoved(double x, double y) {
  pointerX_ = x;
  pointerY_ = y;
  if (!root_) return;
  BroadcastClipEvent(*root_, clipevent::kMouseMove, u"onMouseMove");
  RunQueue();
  vm_->Broadcast(vm_->P().mouse, u"onMouseMove", avm1::Args());
}

void MovieScripts::PointerButton(bool down) {
  if (!root_) return;
  BroadcastClipEvent(*root_, down ? clipevent::kMouseDown : clipevent::kMouseUp, down ? u"onMouseDown" : u"onMouseUp");
  RunQueue();
  vm_->Broadcast(vm_->P().mouse, down ? u"onMouseDown" : u"onMouseUp", avm1::Args());
}

namespace {

// The handler of a button's object or a sprite button for each transition.
const char16_t* TransitionHandler(uint16_t transition) {
  switch (transition) {
    case buttoncond::kIdleToOverUp: return u"onRollOver";
    case buttoncond::kOverUpToIdle: return u"onRollOut";
    case buttoncond::kOverUpToOverDown: return u"onPress";
    case buttoncond::kOverDownToOverUp: return u"onRelease";
    case buttoncond::kOverDownToOutDown: return u"onDragOut";
    case buttoncond::kOutDownToOverDown: return u"onDragOver";
    case buttoncond::kOutDownToIdle: return u"onReleaseOutside";
    default: return nullptr;
  }
}

constexpr const char16_t* kButtonHandlers[] = {u"onPress",   u"onRelease",  u"onReleaseOutside", u"onRollOver",
                                               u"onRollOut", u"onDragOver", u"onDragOut"};

}  // namespace

void MovieScripts::ButtonTransition(Clip& button, uint16_t transition) {
  Clip* holder = button.Parent();
  if (!holder) return;
  if (button.GetButton())
    for (const ButtonCondition& c : button.GetButton()->conditions)
      if (c.conditions & transition) QueueCode(*holder, c.actions);
  QueueEvent(button, nullptr, 0, TransitionHandler(transition));
  RunQueue();
}

avm1::Value MovieScripts::PlainMember(avm1::Object* object, const char16_t* name) {
  const avm1::Property* p = FindInChain(object, name);
  return p && !(p->flags & avm1::kAccessor) ? p->value : avm1::Value();
}

bool MovieScripts::ActsAsButton(Clip& clip) {
  SpriteObject* object = clip.Object();
  const avm1::Value enabled = object ? PlainMember(object, u"enabled") : avm1::Value();
  if (enabled.IsBoolean() && !enabled.AsBool()) return false;
  if (clip.GetButton()) return true;
  if (!object) return false;
  for (const char16_t* name : kButtonHandlers)
    if (HasHandler(object, name)) return true;
  return false;
}

Clip* MovieScripts::HitAreaOf(Clip& clip) {
  if (!clip.Object()) return nullptr;
  Clip* area = LiveClip(PlainMember(clip.Object(), u"hitArea").AsObject());
  return area && area->Holder() ? area : nullptr;
}

namespace {

// Key codes as buttons' and clips' keyPress conditions name them: the
// arrows and editing keys by their own numbers, the rest by their character.
uint8_t ConditionKey(int code, int ascii) {
  struct Named {
    int virtualKey;
    uint8_t key;
  };
  static constexpr Named kNamed[] = {{37, 1},  {39, 2},  {36, 3},  {35, 4},  {45, 5},  {46, 6},  {8, 8},
                                     {13, 13}, {38, 14}, {40, 15}, {33, 16}, {34, 17}, {9, 18}, {27, 19}};
  for (const Named& n : kNamed)
    if (n.virtualKey == code) return n.key;
  return ascii >= 32 && ascii <= 126 ? static_cast<uint8_t>(ascii) : 0;
}

}  // namespace

void MovieScripts::KeyPressed(Clip& clip, uint8_t key) {
  for (auto& entry : clip.MutableDisplayList()) {
    DisplayObject& o = entry.second;
    if (!o.clip) continue;
    Clip& child = *o.clip;
    if (const Button* button = child.GetButton()) {
      // A button's key actions run on the timeline that holds it.
      for (const ButtonCondition& c : button->conditions)
        if (((c.conditions & buttoncond::kKeyPressMask) >> buttoncond::kKeyPressShift) == key)
          QueueCode(clip, c.actions);
      continue;
    }
    KeyPressed(child, key);
    if (o.clipActions && child.Object() && child.Loaded())
      for (const ClipAction& a : *o.clipActions)
        if ((a.events & clipevent::kKeyPress) && a.keyCode == key) QueueCode(child, a.actions);
  }
}

void MovieScripts::KeyChanged(int code, int ascii, bool down) {
  avm1::InputState& in = vm_->Input();
  if (code > 0 && code < 256) {
    if (down && !in.down[code]) in.toggled[code] = !in.toggled[code];
    in.down[code] = down;
  }
  in.lastCode = code;
  in.lastAscii = ascii;
  if (!root_) return;
  BroadcastClipEvent(*root_, down ? clipevent::kKeyDown : clipevent::kKeyUp, nullptr);
  if (const uint8_t key = down ? ConditionKey(code, ascii) : 0) KeyPressed(*root_, key);
  RunQueue();
  vm_->Broadcast(vm_->P().key, down ? u"onKeyDown" : u"onKeyUp", avm1::Args());
}

// --- Host: the tree -----------------------------------------------------------

Clip* MovieScripts::ClipOf(avm1::Object* object) {
  auto* sprite = dynamic_cast<SpriteObject*>(object);
  return sprite ? sprite->GetClip() : nullptr;
}

Clip* MovieScripts::LiveClip(avm1::Object* object) {
  if (!object) return nullptr;
  return ClipOf(object->Live(*vm_));
}

avm1::ClipObject* MovieScripts::Level(int level) {
  return level == 0 && root_ ? root_->Object() : nullptr;
}

avm1::ClipObject* MovieScripts::ReviveClip(std::u16string_view path) {
  if (!root_) return nullptr;
  const std::u16string_view level = u"_level0";
  if (path.substr(0, level.size()) != level) return nullptr;
  path.remove_prefix(level.size());
  Clip* at = root_;
  while (at && !path.empty()) {
    path.remove_prefix(1);  // the dot
    size_t end = path.find(u'.');
    std::u16string_view name = path.substr(0, end);
    at = at->ChildNamed(avm1::ToUtf8(name), vm_->CaseSensitive());
    path = end == std::u16string_view::npos ? std::u16string_view() : path.substr(end);
  }
  return at ? at->Object() : nullptr;
}

bool MovieScripts::FindLabel(const Clip& clip, const std::string& label, uint32_t& frame) {
  const auto& labels = clip.GetTimeline().labels;
  auto it = labels.find(label);
  if (it == labels.end()) {
    for (auto l = labels.begin(); l != labels.end(); ++l) {
      if (l->first.size() != label.size()) continue;
      bool same = true;
      for (size_t i = 0; i < label.size() && same; ++i)
        same = std::tolower(static_cast<unsigned char>(l->first[i])) == std::tolower(static_cast<unsigned char>(label[i]));
      if (same) it = l;
    }
  }
  if (it == labels.end()) return false;
  frame = it->second;
  return true;
}

void MovieScripts::FrameAction(avm1::ClipObject& object, avm1::FrameOp op) {
  Clip* clip = ClipOf(&object);
  if (!clip) return;
  switch (op) {
    case avm1::FrameOp::Play: clip->SetPlaying(true); break;
    case avm1::FrameOp::Stop: clip->SetPlaying(false); break;
    case avm1::FrameOp::NextFrame: clip->GotoFrame(clip->CurrentFrame() + 1, false); break;
    case avm1::FrameOp::PrevFrame:
      clip->GotoFrame(clip->CurrentFrame() > 0 ? clip->CurrentFrame() - 1 : 0, false);
      break;
    default: break;  // sounds and quality: nothing to do here
  }
}

void MovieScripts::GotoFrame(avm1::ClipObject& object, uint32_t frame0, bool play) {
  if (Clip* clip = ClipOf(&object)) clip->GotoFrame(frame0, play);
}

void MovieScripts::GotoLabel(avm1::ClipObject& object, std::u16string_view label, bool play) {
  Clip* clip = ClipOf(&object);
  uint32_t frame = 0;
  if (clip && FindLabel(*clip, avm1::ToUtf8(label), frame)) clip->GotoFrame(frame, play);
}

void MovieScripts::CallFrame(avm1::ClipObject& object, uint32_t frame0) {
  Clip* clip = ClipOf(&object);
  if (!clip || frame0 >= clip->FrameCount()) return;
  for (const std::vector<uint8_t>& script : clip->GetTimeline().frames[frame0].scripts)
    vm_->Run(Code(script), &object);
}

void MovieScripts::CallFrameLabel(avm1::ClipObject& object, std::u16string_view label) {
  Clip* clip = ClipOf(&object);
  uint32_t frame = 0;
  if (clip && FindLabel(*clip, avm1::ToUtf8(label), frame)) CallFrame(object, frame);
}

void MovieScripts::CloneSprite(avm1::ClipObject& source, std::u16string_view name, int depth) {
  // The action carries the list depth: compilers add the offset to the script depth.
  if (Clip* clip = ClipOf(&source)) DuplicateClip(*clip, avm1::ToUtf8(name), depth - kScriptDepthOffset);
}

void MovieScripts::RemoveSprite(avm1::ClipObject& object) {
  if (Clip* clip = ClipOf(&object)) RemoveScriptClip(*clip);
}

void MovieScripts::GetUrl(const avm1::UrlRequest&) {
  // getURL, loadMovie, loadVariables and fscommand reach nothing outside the
  // movie: the request is counted and the movie goes on.
  ++ignoredRequests_;
}

// --- Host: time, chance, output ----------------------------------------------

double MovieScripts::NowUtcMs() { return clock_ ? clock_->NowUtcMs(MovieMs()) : MovieMs(); }

double MovieScripts::LocalOffsetMs(double utcMs) { return clock_ ? clock_->LocalOffsetMs(utcMs) : 0; }

double MovieScripts::MonotonicMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double MovieScripts::Random() {
  // xorshift64*: the top 53 bits as a fraction.
  random_ ^= random_ >> 12;
  random_ ^= random_ << 25;
  random_ ^= random_ >> 27;
  const uint64_t r = random_ * 0x2545F4914F6CDD1Dull;
  return static_cast<double>(r >> 11) / 9007199254740992.0;
}

void MovieScripts::Trace(std::string_view utf8) {
  if (traces_.size() >= kKeptTraceLines) traces_.erase(traces_.begin());
  traces_.emplace_back(utf8);
}

avm1::StageInfo MovieScripts::Stage() {
  const ScaleMode mode = scaleMode_.value_or(hostMode_);
  avm1::StageInfo info;
  // Unscaled, the stage is the view: a movie lays itself out to its size.
  const bool viewSized = mode == ScaleMode::NoScale && viewWidth_ > 0 && viewHeight_ > 0;
  info.width = viewSized ? viewWidth_ : movie_.stage.Width() / 20.0;
  info.height = viewSized ? viewHeight_ : movie_.stage.Height() / 20.0;
  stageModeName_ = ScaleModeName(mode);
  stageAlignName_ = StageAlignName(align_);
  info.scaleMode = stageModeName_;
  info.align = stageAlignName_;
  return info;
}

void MovieScripts::SetView(int width, int height, ScaleMode hostMode) {
  hostMode_ = hostMode;
  if (width == viewWidth_ && height == viewHeight_) return;
  viewWidth_ = width;
  viewHeight_ = height;
  if (scaleMode_.value_or(hostMode_) != ScaleMode::NoScale || !root_) return;
  vm_->Broadcast(vm_->P().stage, u"onResize", avm1::Args());
  RunQueue();  // the frame scripts of the go-tos it made
}

void MovieScripts::ScriptStopped(avm1::ClipObject*, avm1::StopReason reason) {
  ++stops_;
  lastStop_ = reason;
}

}  // namespace velmora::swf
