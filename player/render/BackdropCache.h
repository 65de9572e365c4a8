// Keeps the picture of the root timeline's back objects while they stay as
// they were: most movies move a few things in front of a still backdrop, and
// drawing that backdrop again each frame (a full-stage gradient, say) is most
// of a frame's cost.
//
// Only leading objects that draw the same picture whenever their placement is
// the same are kept: shapes, morph shapes at a ratio and static texts, with no
// mask among them. Sprites end the run, since their own timelines move. An
// object is kept once it has stayed unchanged for one frame, so an object that
// moves every frame never costs a copy; so too a picture is held only once
// the view it is drawn at has stayed the same for a frame.
#pragma once

#include "player/display/Timeline.h"
#include "player/render/Canvas.h"
#include "player/render/RenderOptions.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::swf {

// Everything that decides what a root object draws.
struct PlacedState {
  int32_t depth = 0;
  const Character* character = nullptr;
  Matrix matrix;
  ColorTransform colorTransform;
  uint16_t ratio = 0;
  BlendMode blendMode = BlendMode::Normal;
  std::vector<Filter> filters;
  bool visible = true;
  bool hasOpaqueBackground = false;
  Rgba opaqueBackground{0, 0, 0, 0};
  bool cacheAsBitmap = false;
  uint64_t drawingVersion = 0;  // of what scripts drew on its clip
  // A text field's text and looks (none for other objects).
  bool hasField = false;
  std::u16string fieldText;
  FieldLooks fieldLooks;

  bool operator==(const PlacedState& o) const;
};

// Copies what decides `object`'s picture into `s`; assigning into a state
// kept from an earlier frame reuses its filter list's memory.
void TakePlacedState(PlacedState& s, const DisplayObject& object);

// Whether an object's picture depends on its placement alone.
bool DrawsTheSameWhenPlacedAlike(const DisplayObject& object);

// What a frame is drawn at: the cache holds only for the same view.
struct BackdropView {
  int width = 0, height = 0;
  uint32_t background = 0;
  Matrix view;
  RenderOptions options;
  // The rows drawn: a picture held for some rows has nothing on the others.
  int rowFrom = 0, rowTo = 0;

  bool operator==(const BackdropView& o) const;
};

class BackdropCache {
 public:
  // Call once per frame before drawing. Returns how many leading objects of
  // `root` the held picture should cover this frame (0: draw everything).
  // After it, `Fresh()` tells whether that picture must be drawn first, and
  // `Unchanged()` whether this frame is the last one again (every object
  // still and kept, at the same view), so the screen needs no new copy.
  size_t Plan(const Clip& root, const BackdropView& view);
  bool Fresh() const { return fresh_; }
  bool Unchanged() const { return unchanged_; }

  // The held picture: drawn into when fresh, copied from otherwise.
  Canvas& Picture() { return picture_; }

 private:
  BackdropView view_;
  std::vector<PlacedState> previous_;  // the last frame's leading objects
  std::vector<PlacedState> held_;      // the objects in the held picture
  uint64_t previousDrawing_ = 0;  // the version of the root's own drawing
  Canvas picture_;
  bool previousWhole_ = false;  // the last frame's list was all kept objects
  bool fresh_ = false;
  bool unchanged_ = false;
};

}  // namespace velmora::swf
