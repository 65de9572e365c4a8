#include "player/display/ClipGeometry.h"

#include "player/display/ClipDrawing.h"

#include <algorithm>

namespace velmora::swf {
namespace {

// Nesting past this is not measured (the clips' own limit is lower).
constexpr int kMaxMeasureDepth = 64;

void AddRect(Box& box, const Rect& r, const Matrix& m) {
  if (r.xMin > r.xMax || r.yMin > r.yMax) return;
  const Point corners[4] = {{double(r.xMin), double(r.yMin)}, {double(r.xMax), double(r.yMin)},
                            {double(r.xMin), double(r.yMax)}, {double(r.xMax), double(r.yMax)}};
  for (const Point& c : corners) {
    const Point p = m.Apply(c);
    box.Add(p.x, p.y);
  }
}

Box ListBox(const std::map<int32_t, DisplayObject>& list, const Matrix& m, int depth);

// What scripts drew on the clip, then its list.
Box ClipBox(const Clip& clip, const Matrix& m, int depth) {
  Box box;
  if (const ClipDrawing* drawing = clip.Drawing(); drawing && drawing->HasBox()) {
    const Point corners[4] = {{drawing->X0(), drawing->Y0()}, {drawing->X1(), drawing->Y0()},
                              {drawing->X0(), drawing->Y1()}, {drawing->X1(), drawing->Y1()}};
    for (const Point& c : corners) {
      const Point p = m.Apply(c);
      box.Add(p.x, p.y);
    }
  }
  box.Add(ListBox(clip.DisplayList(), m, depth));
  return box;
}

Box ObjectBoxAt(const DisplayObject& object, const Matrix& outer, int depth) {
  Box box;
  if (!object.character || depth > kMaxMeasureDepth) return box;
  const Matrix m = outer * object.matrix;
  const Character& c = *object.character;
  switch (c.kind) {
    case Character::Kind::Shape:
      if (c.shape) AddRect(box, c.shape->bounds, m);
      break;
    case Character::Kind::MorphShape:
      if (c.morph) {
        AddRect(box, c.morph->startBounds, m);
        AddRect(box, c.morph->endBounds, m);
      }
      break;
    case Character::Kind::Text:
      if (c.text) AddRect(box, c.text->bounds, m * c.text->matrix);
      break;
    case Character::Kind::EditText:
      if (c.editText) AddRect(box, c.editText->bounds, m);
      break;
    case Character::Kind::Sprite:
    case Character::Kind::Button:
      if (object.clip) box = ClipBox(*object.clip, m, depth + 1);
      break;
    default: break;
  }
  return box;
}

Box ListBox(const std::map<int32_t, DisplayObject>& list, const Matrix& m, int depth) {
  Box box;
  for (const auto& entry : list) box.Add(ObjectBoxAt(entry.second, m, depth));
  return box;
}

}  // namespace

void Box::Add(double x, double y) {
  if (empty) {
    x0 = x1 = x;
    y0 = y1 = y;
    empty = false;
    return;
  }
  x0 = std::min(x0, x);
  y0 = std::min(y0, y);
  x1 = std::max(x1, x);
  y1 = std::max(y1, y);
}

void Box::Add(const Box& other) {
  if (other.empty) return;
  Add(other.x0, other.y0);
  Add(other.x1, other.y1);
}

Matrix ClipToStage(const Clip& clip) {
  Matrix m;
  int guard = 0;
  for (const Clip* at = &clip; at && guard < kMaxMeasureDepth; at = at->Parent(), ++guard)
    if (at->Holder()) m = at->Holder()->matrix * m;
  return m;
}

Box ContentBox(const Clip& clip, const Matrix& m) { return ClipBox(clip, m, 0); }

Box ObjectBox(const DisplayObject& object, const Matrix& m) { return ObjectBoxAt(object, m, 0); }

}  // namespace velmora::swf
