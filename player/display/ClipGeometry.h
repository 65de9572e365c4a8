// Where a clip lies: its matrix to the stage and the box of what it shows,
// in twips, for the properties and methods scripts read (_width, getBounds,
// hitTest, localToGlobal, _xmouse).
#pragma once

#include "player/display/Timeline.h"

namespace velmora::swf {

struct Box {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool empty = true;
  void Add(double x, double y);
  void Add(const Box& other);
};

// From the clip's own coordinates to the stage's (the root's).
Matrix ClipToStage(const Clip& clip);
// The box of everything the clip shows, under `m` (the clip's coordinates
// to those of the box).
Box ContentBox(const Clip& clip, const Matrix& m);
// The box of one display object of a list, under `m` (the list's coordinates
// to the box's).
Box ObjectBox(const DisplayObject& object, const Matrix& m);

}  // namespace velmora::swf
