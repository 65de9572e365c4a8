// The running state of a timeline: the display list of each clip, per depth,
// with nested sprite and button clips, frame advance, looping and go-to.
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
  bool cacheAsBitmap = false;
  std::unique_ptr<Clip> clip;  // the sprite's own timeline, or the button's state
};

class Clip {
 public:
  // `loop`: whether the clip starts over after its last frame (sprites
  // always do). `nesting`: how many clips hold this one.
  Clip(const Movie& movie, const Timeline& timeline, bool loop, int nesting = 0);
  // A button: its display list holds the characters of the state it shows,
  // each a display object of its own (a sprite among them runs its frames).
  Clip(const Movie& movie, const Button& button, int nesting);

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

  // A button's state: up from its start. The characters of the new state
  // that the old one shows at the same depth stay as they are (a sprite
  // among them runs on); the rest are placed afresh. No effect on a clip
  // that is not a button.
  void ShowButtonState(ButtonState state);
  ButtonState ShownButtonState() const { return buttonState_; }
  const Button* GetButton() const { return button_; }

 private:
  void ApplyFrameTags(uint32_t frame);
  void ApplyPlace(const PlaceObject& place);
  void RunActions(uint32_t frame, int gotoBudget);
  void Rebuild(uint32_t frame);
  void AdvanceChildren();
  // Gives `object` the character `id`, with a clip of its own when it is a
  // sprite or a button.
  void Instantiate(DisplayObject& object, uint16_t id);

  const Movie& movie_;
  const Timeline& timeline_;
  bool loop_;
  int nesting_ = 0;
  const Button* button_ = nullptr;
  ButtonState buttonState_ = ButtonState::Up;
  bool playing_ = true;
  bool started_ = false;
  uint32_t current_ = 0;
  std::map<uint16_t, DisplayObject> displayList_;
};

}  // namespace velmora::swf
