#include "player/display/Timeline.h"

#include "player/display/ClipDrawing.h"
#include "player/display/MovieScripts.h"
#include "player/display/SpriteObject.h"
#include "player/display/TextFieldObject.h"

#include <algorithm>

namespace velmora::swf {
namespace {

// Clips nested deeper than this (a sprite or a button that holds itself,
// directly or not) get no clip: they show nothing.
constexpr int kMaxClipNesting = 32;

const Timeline& NoFrames() {
  static const Timeline none;
  return none;
}

bool SameName(const std::string& a, const std::string& b, bool caseSensitive) {
  if (a.size() != b.size()) return false;
  if (caseSensitive) return a == b;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// A field's state goes to the display object that now shows the field.
void MoveField(DisplayObject& to, DisplayObject& from) {
  to.field = std::move(from.field);
  if (to.field && to.field->object) to.field->object->Rehome(&to);
}

}  // namespace

Clip::Clip(const Movie& movie, const Timeline& timeline, bool loop, int nesting)
    : movie_(movie), timeline_(timeline), loop_(loop), nesting_(nesting) {}

Clip::Clip(const Movie& movie, const Button& button, int nesting)
    : movie_(movie), timeline_(NoFrames()), loop_(false), nesting_(nesting), button_(&button) {}

Clip::~Clip() {
  // The children go first, while this clip still answers for their paths.
  displayList_.clear();
  if (object_) {
    object_->Detach();
    if (scripts_) scripts_->ClipGone();
  }
}

ClipDrawing& Clip::MutableDrawing() {
  if (!drawing_) drawing_ = std::make_unique<ClipDrawing>();
  return *drawing_;
}

void Clip::BindScripts(MovieScripts* scripts) {
  scripts_ = scripts;
  if (scripts_) object_ = scripts_->NewObject(*this, 0);
}

void Clip::Start() {
  started_ = true;
  current_ = 0;
  for (auto& entry : displayList_) Release(entry.second);
  displayList_.clear();
  if (button_) {
    ShowButtonState(buttonState_);
    return;
  }
  if (timeline_.frames.empty()) return;
  EnterFrame(0, true);
}

void Clip::AdvanceChildren() {
  // Runs before this clip's next frame is applied, so objects that frame
  // places show their own first frame until the next tick. Children only
  // queue scripts here: the list does not change under the walk.
  for (auto& entry : displayList_)
    if (entry.second.clip) entry.second.clip->Advance();
}

void Clip::Advance() {
  if (!started_) {
    Start();
    return;
  }
  AdvanceChildren();
  if (scripts_ && object_) scripts_->EnterFrameEvent(*this);
  if (!playing_ || FrameCount() == 0) return;
  uint32_t next = current_ + 1;
  if (next >= FrameCount()) {
    if (!loop_) {
      playing_ = false;
      return;
    }
    if (FrameCount() == 1) return;  // a one-frame clip stays as it is
    next = 0;
  }
  EnterFrame(next, next < current_);
}

void Clip::GotoFrame(uint32_t frame, bool play) {
  if (FrameCount() == 0) return;
  frame = std::min(frame, FrameCount() - 1);
  playing_ = play;
  if (frame == current_ && started_) return;
  const bool rebuild = !started_ || frame < current_;
  started_ = true;
  EnterFrame(frame, rebuild, true);
}

void Clip::EnterFrame(uint32_t frame, bool rebuild, bool byGoto) {
  // Children placed on the way start after this frame's scripts are queued:
  // the frame script runs first, then their first frames and load events.
  std::vector<Clip*> entering;
  std::vector<Clip*>* saved = entering_;
  entering_ = &entering;
  if (rebuild) {
    Rebuild(frame);
  } else {
    for (uint32_t f = current_ + 1; f <= frame; ++f) ApplyFrameTags(f);
  }
  current_ = frame;
  entering_ = saved;
  if (scripts_) scripts_->QueueFrame(*this, frame, byGoto);
  for (Clip* child : entering) {
    if (scripts_) scripts_->StartClip(*child);
    else child->Start();
  }
}

void Clip::Rebuild(uint32_t frame) {
  // Going back replays the frames from the first. An object the replay puts
  // at a depth that holds the same character with the same ratio is the same
  // object: it keeps its own timeline (and what a script set on it). Any
  // other starts afresh. Authoring tools write a placement's frame as its
  // ratio, so a clip removed and placed again later in the timeline is not
  // the one the first frames placed. Objects scripts made stay.
  std::map<int32_t, DisplayObject> previous = std::move(displayList_);
  displayList_.clear();
  rebuilding_ = true;
  for (uint32_t f = 0; f <= frame; ++f) ApplyFrameTags(f);
  rebuilding_ = false;
  for (auto& [depth, object] : displayList_) {
    auto old = previous.find(depth);
    // The timeline placed again what it showed there before.
    const bool again = old != previous.end() && !old->second.dynamic &&
                       old->second.characterId == object.characterId && old->second.ratio == object.ratio;
    if (again && object.field && old->second.field)
      MoveField(object, old->second);  // the same field keeps the text it shows
    const bool same = again && old->second.clip;
    if (!same) {
      MakeClip(object);
      continue;
    }
    DisplayObject& was = old->second;
    if (was.scripted) {
      object.matrix = was.matrix;
      object.colorTransform = was.colorTransform;
      object.visible = was.visible;
      object.scripted = true;
      object.hasScriptParts = was.hasScriptParts;
      object.xScale = was.xScale;
      object.yScale = was.yScale;
      object.rotation = was.rotation;
    }
    object.clip = std::move(was.clip);
    object.clip->holder_ = &object;
  }
  for (auto it = previous.begin(); it != previous.end();) {
    auto here = it++;
    if (!here->second.dynamic || displayList_.count(here->first)) continue;
    displayList_.insert(previous.extract(here));  // the node, so its clip's holder stays valid
  }
  for (auto& entry : previous) Release(entry.second);
}

void Clip::ApplyFrameTags(uint32_t frame) {
  for (const ControlTag& tag : timeline_.frames[frame].tags) {
    if (tag.kind != ControlTag::Kind::Remove) {
      ApplyPlace(tag.place);
      continue;
    }
    auto it = displayList_.find(tag.place.depth);
    if (it == displayList_.end() || it->second.dynamic) continue;
    Release(it->second);
    displayList_.erase(it);
  }
}

void Clip::ApplyPlace(const PlaceObject& p) {
  auto existing = displayList_.find(p.depth);
  if (existing != displayList_.end() && existing->second.dynamic) return;  // the script's object stays
  bool modify = p.move && existing != displayList_.end();
  if (!modify && !p.hasCharacter) return;  // nothing to move, nothing to place
  if (!modify) {
    if (existing != displayList_.end()) Release(existing->second);
    DisplayObject fresh;
    fresh.depth = p.depth;
    displayList_[p.depth] = std::move(fresh);
    existing = displayList_.find(p.depth);
  }
  DisplayObject& object = existing->second;
  if (p.hasName) object.name = p.name;
  if (!p.clipActions.empty()) object.clipActions = &p.clipActions;
  if (p.hasCharacter && (object.characterId != p.characterId || !object.character))
    Instantiate(object, p.characterId, movie_.Find(p.characterId));
  // What a script set on an object stays: the timeline moves it no more.
  if (p.hasMatrix && !object.scripted) object.matrix = p.matrix;
  if (p.hasColorTransform && !object.scripted) object.colorTransform = p.colorTransform;
  if (p.hasRatio) object.ratio = p.ratio;
  if (p.hasClipDepth) object.clipDepth = p.clipDepth;
  if (p.hasBlendMode) object.blendMode = p.blendMode;
  if (p.hasFilters) object.filters = p.filters;
  if (p.hasVisible && !object.scripted) object.visible = p.visible;
  if (p.hasCacheAsBitmap) object.cacheAsBitmap = p.cacheAsBitmap;
  if (p.hasOpaqueBackground) {
    object.hasOpaqueBackground = true;
    object.opaqueBackground = p.opaqueBackground;
  }
}

void Clip::Instantiate(DisplayObject& object, uint16_t id, const Character* character) {
  Release(object);
  object.characterId = id;
  object.character = character;
  object.field.reset();
  if (character && character->kind == Character::Kind::EditText && character->editText)
    StartFieldState(*(object.field = std::make_unique<FieldState>()), *character->editText, movie_.version);
  if (!rebuilding_) MakeClip(object);
}

void Clip::MakeClip(DisplayObject& object) {
  const Character* character = object.character;
  if (!character || nesting_ >= kMaxClipNesting) return;
  if (character->kind == Character::Kind::Sprite && character->sprite)
    object.clip = std::make_unique<Clip>(movie_, *character->sprite, true, nesting_ + 1);
  else if (character->kind == Character::Kind::Button && character->button)
    object.clip = std::make_unique<Clip>(movie_, *character->button, nesting_ + 1);
  if (!object.clip) return;
  Clip& child = *object.clip;
  child.parent_ = this;
  child.holder_ = &object;
  child.scripts_ = scripts_;
  if (scripts_) child.object_ = scripts_->NewObject(child, object.characterId);
  if (entering_) {
    entering_->push_back(&child);
  } else if (scripts_) {
    scripts_->StartClip(child);
  } else {
    child.Start();
  }
}

void Clip::Release(DisplayObject& object) {
  if (!object.clip) return;
  if (entering_) {
    auto& list = *entering_;
    list.erase(std::remove(list.begin(), list.end(), object.clip.get()), list.end());
  }
  // The clip unloads with its handlers before it goes (MovieScripts holds it
  // to the end of the tick).
  if (scripts_) scripts_->Unload(std::move(object.clip), object.clipActions);
  object.clip.reset();
}

Clip* Clip::ChildNamed(const std::string& name, bool caseSensitive) const {
  for (const auto& entry : displayList_) {
    const DisplayObject& o = entry.second;
    if (o.clip && o.clip->object_ && SameName(o.name, name, caseSensitive)) return o.clip.get();
  }
  return nullptr;
}

DisplayObject* Clip::FieldNamed(const std::string& name, bool caseSensitive) {
  for (auto& entry : displayList_) {
    DisplayObject& o = entry.second;
    if (o.field && !o.name.empty() && SameName(o.name, name, caseSensitive)) return &o;
  }
  return nullptr;
}

Clip* Clip::PlaceDynamic(int32_t depth, const Character* character, uint16_t characterId, const std::string& name,
                         const DisplayObject* like) {
  if (!character || character->kind != Character::Kind::Sprite || !character->sprite) return nullptr;
  if (scripts_ && !scripts_->MayMakeClip()) return nullptr;
  // Copied first: `like` may be the object the new one replaces.
  DisplayObject looks;
  if (like) {
    looks.matrix = like->matrix;
    looks.colorTransform = like->colorTransform;
    looks.visible = like->visible;
    looks.blendMode = like->blendMode;
    looks.filters = like->filters;
    looks.hasScriptParts = like->hasScriptParts;
    looks.xScale = like->xScale;
    looks.yScale = like->yScale;
    looks.rotation = like->rotation;
    looks.clipActions = like->clipActions;
  }
  auto it = displayList_.find(depth);
  if (it != displayList_.end()) {
    Release(it->second);
    displayList_.erase(it);
  }
  DisplayObject& object = displayList_[depth];
  object = std::move(looks);
  object.depth = depth;
  object.characterId = characterId;
  object.character = character;
  object.name = name;
  object.dynamic = true;
  MakeClip(object);
  return object.clip.get();
}

DisplayObject* Clip::PlaceDynamicField(int32_t depth, const Character* character, const std::string& name) {
  if (!character || character->kind != Character::Kind::EditText || !character->editText) return nullptr;
  RemoveAt(depth);
  DisplayObject& object = displayList_[depth];
  object.depth = depth;
  object.name = name;
  object.dynamic = true;
  Instantiate(object, 0, character);
  return &object;
}

void Clip::RemoveAt(int32_t depth) {
  auto it = displayList_.find(depth);
  if (it == displayList_.end()) return;
  Release(it->second);
  displayList_.erase(it);
}

bool Clip::SwapDepths(int32_t from, int32_t to) {
  if (from == to) return displayList_.count(from) != 0;
  auto a = displayList_.extract(from);
  if (!a) return false;
  auto b = displayList_.extract(to);
  a.key() = to;
  a.mapped().depth = to;
  a.mapped().scripted = true;
  displayList_.insert(std::move(a));
  if (b) {
    b.key() = from;
    b.mapped().depth = from;
    b.mapped().scripted = true;
    displayList_.insert(std::move(b));
  }
  return true;
}

void Clip::ShowButtonState(ButtonState state) {
  if (!button_) return;
  buttonState_ = state;
  std::map<int32_t, DisplayObject> previous = std::move(displayList_);
  displayList_.clear();
  // A later record at a depth takes the place of an earlier one.
  for (const ButtonRecord& r : button_->records) {
    if (!r.ShownIn(state)) continue;
    DisplayObject& object = displayList_[r.depth];
    Release(object);
    object = DisplayObject{};
    object.depth = r.depth;
    auto old = previous.find(r.depth);
    if (old != previous.end() && old->second.characterId == r.characterId && old->second.character) {
      object.characterId = r.characterId;
      object.character = old->second.character;
      object.clip = std::move(old->second.clip);
      MoveField(object, old->second);
      if (object.clip) object.clip->holder_ = &object;
      previous.erase(old);
    } else {
      Instantiate(object, r.characterId, movie_.Find(r.characterId));
    }
    object.matrix = r.matrix;
    object.colorTransform = r.colorTransform;
    object.blendMode = r.blendMode;
    object.filters = r.filters;
  }
  for (auto& entry : previous) Release(entry.second);
}

namespace {

Clip* LiveClipOf(const avm1::Rooted<SpriteObject>& object) { return object ? object->GetClip() : nullptr; }

}  // namespace

void Clip::SetScriptMask(Clip* mask) {
  if (Clip* old = LiveClipOf(scriptMask_)) old->maskedBy_ = {};
  scriptMask_ = {};
  if (!mask || mask == this || !mask->object_ || !object_) return;
  if (Clip* other = LiveClipOf(mask->maskedBy_)) other->scriptMask_ = {};
  scriptMask_ = mask->object_;
  mask->maskedBy_ = object_;
}

Clip* Clip::ScriptMask() const {
  Clip* mask = LiveClipOf(scriptMask_);
  return mask && mask->holder_ ? mask : nullptr;
}

bool Clip::IsScriptMask() const {
  const Clip* masked = LiveClipOf(maskedBy_);
  return masked && masked->holder_ && LiveClipOf(masked->scriptMask_) == this;
}

}  // namespace velmora::swf
