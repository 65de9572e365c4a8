#include "player/render/BackdropCache.h"

#include "player/display/ClipDrawing.h"

#include <algorithm>
#include <cstring>

namespace velmora::swf {
namespace {

bool SameMatrix(const Matrix& l, const Matrix& r) {
  return l.a == r.a && l.b == r.b && l.c == r.c && l.d == r.d && l.tx == r.tx && l.ty == r.ty;
}

bool SameFilter(const Filter& l, const Filter& r) {
  return l.kind == r.kind && l.color == r.color && l.highlight == r.highlight &&
         l.blurX == r.blurX && l.blurY == r.blurY && l.angle == r.angle &&
         l.distance == r.distance && l.strength == r.strength && l.inner == r.inner &&
         l.knockout == r.knockout && l.compositeSource == r.compositeSource &&
         l.onTop == r.onTop && l.passes == r.passes &&
         std::memcmp(l.colorMatrix, r.colorMatrix, sizeof l.colorMatrix) == 0 && l.gradient == r.gradient;
}

}  // namespace

void TakePlacedState(PlacedState& s, const DisplayObject& object) {
  s.depth = object.depth;
  s.character = object.character;
  s.matrix = object.matrix;
  s.colorTransform = object.colorTransform;
  s.ratio = object.ratio;
  s.blendMode = object.blendMode;
  s.filters = object.filters;
  s.visible = object.visible;
  s.hasOpaqueBackground = object.hasOpaqueBackground;
  s.opaqueBackground = object.opaqueBackground;
  s.cacheAsBitmap = object.cacheAsBitmap;
  s.drawingVersion = object.clip ? DrawingVersionOf(*object.clip) : 0;
  s.hasField = object.field != nullptr;
  if (object.field) {
    s.fieldText = object.field->text;  // reuses the kept string's memory
    s.fieldLooks = object.field->looks;
  } else {
    s.fieldText.clear();
  }
}

bool PlacedState::operator==(const PlacedState& o) const {
  return depth == o.depth && character == o.character && SameMatrix(matrix, o.matrix) &&
         colorTransform == o.colorTransform && ratio == o.ratio &&
         blendMode == o.blendMode && visible == o.visible &&
         hasOpaqueBackground == o.hasOpaqueBackground && opaqueBackground == o.opaqueBackground &&
         cacheAsBitmap == o.cacheAsBitmap && drawingVersion == o.drawingVersion &&
         hasField == o.hasField &&
         (!hasField || (fieldLooks == o.fieldLooks && fieldText == o.fieldText)) &&
         std::equal(filters.begin(), filters.end(), o.filters.begin(), o.filters.end(), SameFilter);
}

bool DrawsTheSameWhenPlacedAlike(const DisplayObject& object) {
  if (!object.character || object.clipDepth > 0 || object.clip) return false;
  switch (object.character->kind) {
    case Character::Kind::Shape:
    case Character::Kind::MorphShape:
    case Character::Kind::Text:
    case Character::Kind::EditText:  // drawn from the text and looks its state holds
      return true;
    default:
      return false;
  }
}

bool BackdropView::operator==(const BackdropView& o) const {
  return width == o.width && height == o.height && background == o.background &&
         SameMatrix(view, o.view) && options == o.options && rowFrom == o.rowFrom && rowTo == o.rowTo;
}

size_t BackdropCache::Plan(const Clip& root, const BackdropView& view) {
  std::vector<PlacedState> current;
  for (const auto& [depth, object] : root.DisplayList()) {
    if (!DrawsTheSameWhenPlacedAlike(object)) break;
    current.emplace_back();
    TakePlacedState(current.back(), object);
  }
  const bool whole = current.size() == root.DisplayList().size();
  // The run of objects that are as they were a frame ago.
  size_t stable = 0;
  while (stable < current.size() && stable < previous_.size() && current[stable] == previous_[stable])
    ++stable;
  // The root's drawing lies in the held picture below its objects: a frame
  // where it changed holds nothing, so a picture held is of the drawing as
  // it is.
  const uint64_t drawing = DrawingVersionOf(root);
  const bool drawingStill = drawing == previousDrawing_;
  if (!drawingStill) stable = 0;
  previousDrawing_ = drawing;
  const bool sameView = view == view_;
  unchanged_ = sameView && whole && previousWhole_ && drawingStill && stable == current.size() &&
               stable == previous_.size();
  previous_ = std::move(current);
  previousWhole_ = whole;

  fresh_ = false;
  if (!sameView) {
    view_ = view;
    // A picture is held only once the view has stayed for a frame: a view
    // that changes every frame (a new background each time) would cost a
    // copy per frame for a picture never used again.
    stable = 0;
  }
  if (stable == 0) {
    // Nothing stays still: give the memory back rather than hold a stale picture.
    held_.clear();
    picture_ = Canvas();
    return 0;
  }
  const bool heldMatches = held_.size() == stable &&
                           std::equal(held_.begin(), held_.end(), previous_.begin());
  if (!heldMatches) {
    held_.assign(previous_.begin(), previous_.begin() + static_cast<std::ptrdiff_t>(stable));
    fresh_ = true;
  }
  return stable;
}

}  // namespace velmora::swf
