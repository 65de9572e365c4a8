// The running state of a timeline: the display list of each clip, per depth,
// with nested sprite clips, frame advance, looping and go-to.
#pragma once

#include "player/swf/SwfMovie.h"

#include <cstdint>
#include <map>
#include <memory>

namespace velmora::swf {

class Clip;

struct DisplayObject {
  uint16_t depth = 0;
  uint16_t characterId = 0;
  const Character* character = nullptr;
  Matrix matrix;
  ColorTransform colorTransform;
  uint16_t ratio = 0;
  uint16_t clipDepth = 0;  // above 0: a mask over the depths up to this one
  BlendMode blendMode = BlendMode::Normal;
  std::vector<Filter> filters;
  bool visible = true;
  bool hasOpaqueBackground = false;
  Rgba opaqueBackground{0, 0, 0, 0};
  std::unique_ptr<Clip> clip;  // the sprite's own timeline
};

class Clip {
 public:
  // `loop`: whether the clip starts over after its last frame (sprites always do).
  Clip(const Movie& movie, const Timeline& timeline, bool loop);

  // Shows the first frame: its objects placed, its actions run.
  void Start();
  // One tick of the movie's clock: children advance, then this clip moves on
  // to its next frame when playing.
  void Advance();
  // Shows `frame` (0-based, clamped to the last frame).
  void GotoFrame(uint32_t frame, bool play);

  uint32_t CurrentFrame() const { return current_; }
  uint32_t FrameCount() const { return static_cast<uint32_t>(timeline_.frames.size()); }
  bool Playing() const { return playing_; }
  void SetPlaying(bool playing) { playing_ = playing; }
  const std::map<uint16_t, DisplayObject>& DisplayList() const { return displayList_; }

 private:
  void ApplyFrameTags(uint32_t frame);
  void ApplyPlace(const PlaceObject& place);
  void RunActions(uint32_t frame, int gotoBudget);
  void Rebuild(uint32_t frame);
  void AdvanceChildren();

  const Movie& movie_;
  const Timeline& timeline_;
  bool loop_;
  bool playing_ = true;
  bool started_ = false;
  uint32_t current_ = 0;
  std::map<uint16_t, DisplayObject> displayList_;
};

}  // namespace velmora::swf
