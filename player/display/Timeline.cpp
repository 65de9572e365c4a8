#include "player/display/Timeline.h"

#include <algorithm>

namespace velmora::swf {
namespace {

// How many frame scripts reached by go-tos may run in one tick.
constexpr int kMaxGotosPerTick = 32;
// Clips nested deeper than this (a sprite or a button that holds itself,
// directly or not) get no clip: they show nothing.
constexpr int kMaxClipNesting = 32;

const Timeline& NoFrames() {
  static const Timeline none;
  return none;
}

}  // namespace

Clip::Clip(const Movie& movie, const Timeline& timeline, bool loop, int nesting)
    : movie_(movie), timeline_(timeline), loop_(loop), nesting_(nesting) {}

Clip::Clip(const Movie& movie, const Button& button, int nesting)
    : movie_(movie), timeline_(NoFrames()), loop_(false), nesting_(nesting), button_(&button) {}

void Clip::Start() {
  started_ = true;
  current_ = 0;
  displayList_.clear();
  if (button_) {
    ShowButtonState(buttonState_);
    return;
  }
  if (timeline_.frames.empty()) return;
  ApplyFrameTags(0);
  RunActions(0, kMaxGotosPerTick);
}

void Clip::AdvanceChildren() {
  // Runs before this clip's next frame is applied, so objects that frame
  // places show their own first frame until the next tick.
  for (auto& entry : displayList_)
    if (entry.second.clip) entry.second.clip->Advance();
}

void Clip::Advance() {
  if (!started_) {
    Start();
    return;
  }
  AdvanceChildren();
  if (!playing_ || FrameCount() == 0) return;
  uint32_t next = current_ + 1;
  if (next >= FrameCount()) {
    if (!loop_) {
      playing_ = false;
      return;
    }
    if (FrameCount() == 1) return;  // a one-frame clip stays as it is
    Rebuild(0);
  } else {
    ApplyFrameTags(next);
    current_ = next;
  }
  RunActions(current_, kMaxGotosPerTick);
}

void Clip::GotoFrame(uint32_t frame, bool play) {
  if (FrameCount() == 0) return;
  frame = std::min(frame, FrameCount() - 1);
  playing_ = play;
  if (frame == current_ && started_) return;
  if (frame < current_ || !started_) {
    Rebuild(frame);
  } else {
    for (uint32_t f = current_ + 1; f <= frame; ++f) ApplyFrameTags(f);
    current_ = frame;
  }
  started_ = true;
}

void Clip::Rebuild(uint32_t frame) {
  // Going back replays the frames from the first. An object the replay puts
  // at a depth that holds the same character with the same ratio is the same
  // object: it keeps its own timeline. Any other starts afresh. Authoring
  // tools write a placement's frame as its ratio, so a clip removed and placed
  // again later in the timeline is not the one the first frames placed.
  std::map<uint16_t, DisplayObject> previous = std::move(displayList_);
  displayList_.clear();
  for (uint32_t f = 0; f <= frame; ++f) ApplyFrameTags(f);
  for (auto& [depth, object] : displayList_) {
    auto old = previous.find(depth);
    if (old == previous.end() || !old->second.clip) continue;
    if (old->second.characterId == object.characterId && old->second.ratio == object.ratio)
      object.clip = std::move(old->second.clip);
  }
  current_ = frame;
}

void Clip::ApplyFrameTags(uint32_t frame) {
  for (const ControlTag& tag : timeline_.frames[frame].tags) {
    if (tag.kind == ControlTag::Kind::Remove)
      displayList_.erase(tag.place.depth);
    else
      ApplyPlace(tag.place);
  }
}

void Clip::ApplyPlace(const PlaceObject& p) {
  auto existing = displayList_.find(p.depth);
  bool modify = p.move && existing != displayList_.end();
  if (!modify && !p.hasCharacter) return;  // nothing to move, nothing to place
  if (!modify) {
    DisplayObject fresh;
    fresh.depth = p.depth;
    displayList_[p.depth] = std::move(fresh);
    existing = displayList_.find(p.depth);
  }
  DisplayObject& object = existing->second;
  if (p.hasCharacter && (object.characterId != p.characterId || !object.character))
    Instantiate(object, p.characterId);
  if (p.hasMatrix) object.matrix = p.matrix;
  if (p.hasColorTransform) object.colorTransform = p.colorTransform;
  if (p.hasRatio) object.ratio = p.ratio;
  if (p.hasClipDepth) object.clipDepth = p.clipDepth;
  if (p.hasBlendMode) object.blendMode = p.blendMode;
  if (p.hasFilters) object.filters = p.filters;
  if (p.hasVisible) object.visible = p.visible;
  if (p.hasCacheAsBitmap) object.cacheAsBitmap = p.cacheAsBitmap;
  if (p.hasOpaqueBackground) {
    object.hasOpaqueBackground = true;
    object.opaqueBackground = p.opaqueBackground;
  }
}

void Clip::Instantiate(DisplayObject& object, uint16_t id) {
  const Character* character = movie_.Find(id);
  object.characterId = id;
  object.character = character;
  object.clip.reset();
  if (!character || nesting_ >= kMaxClipNesting) return;
  if (character->kind == Character::Kind::Sprite && character->sprite)
    object.clip = std::make_unique<Clip>(movie_, *character->sprite, true, nesting_ + 1);
  else if (character->kind == Character::Kind::Button && character->button)
    object.clip = std::make_unique<Clip>(movie_, *character->button, nesting_ + 1);
  if (object.clip) object.clip->Start();
}

void Clip::ShowButtonState(ButtonState state) {
  if (!button_) return;
  buttonState_ = state;
  std::map<uint16_t, DisplayObject> previous = std::move(displayList_);
  displayList_.clear();
  // A later record at a depth takes the place of an earlier one.
  for (const ButtonRecord& r : button_->records) {
    if (!r.ShownIn(state)) continue;
    DisplayObject& object = displayList_[r.depth];
    object = DisplayObject{};
    object.depth = r.depth;
    auto old = previous.find(r.depth);
    if (old != previous.end() && old->second.characterId == r.characterId && old->second.character) {
      object.characterId = r.characterId;
      object.character = old->second.character;
      object.clip = std::move(old->second.clip);
      previous.erase(old);
    } else {
      Instantiate(object, r.characterId);
    }
    object.matrix = r.matrix;
    object.colorTransform = r.colorTransform;
    object.blendMode = r.blendMode;
    object.filters = r.filters;
  }
}

void Clip::RunActions(uint32_t frame, int gotoBudget) {
  // A go-to moves the display list at once, but the rest of the script still
  // runs (gotoAndPlay is a go-to, which stops, followed by a play); the frame
  // reached runs its own script after this one has finished.
  bool jumped = false;
  auto jump = [&](uint32_t target, bool play) {
    if (target != current_) jumped = true;
    GotoFrame(target, play);
  };
  for (const Action& a : timeline_.frames[frame].actions) {
    switch (a.kind) {
      case Action::Kind::Stop: playing_ = false; break;
      case Action::Kind::Play: playing_ = true; break;
      case Action::Kind::NextFrame:
        if (current_ + 1 < FrameCount()) jump(current_ + 1, false);
        playing_ = false;
        break;
      case Action::Kind::PrevFrame:
        if (current_ > 0) jump(current_ - 1, false);
        playing_ = false;
        break;
      case Action::Kind::GotoFrame:
      case Action::Kind::GotoLabel: {
        uint32_t target = a.frame;
        if (a.kind == Action::Kind::GotoLabel) {
          auto it = timeline_.labels.find(a.label);
          if (it == timeline_.labels.end()) break;  // an unknown label is ignored
          target = it->second;
        }
        jump(std::min(target, FrameCount() - 1), a.play);
        break;
      }
    }
  }
  // Scripts that keep jumping (frame 2 goes to 3, 3 to 2, ...) stop for the
  // tick once the budget is spent.
  if (jumped && gotoBudget > 0) RunActions(current_, gotoBudget - 1);
}

}  // namespace velmora::swf
