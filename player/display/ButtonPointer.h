// The pointer over the movie's buttons: the topmost button whose hit area
// holds the point, the state each button shows (over while the pointer is
// on it, down while it is pressed there, up otherwise) and the transitions
// whose condition actions and handlers run. A sprite clip with a button
// handler (onPress, onRelease...) is a button too, over all it holds.
#pragma once

#include "player/display/Timeline.h"

namespace velmora::swf {

// The topmost visible button under the stage point (twips) in the tree of
// `root`, or null.
Clip* ButtonAt(Clip& root, double x, double y);

class ButtonPointer {
 public:
  // The pointer at (x, y) in stage twips, its button held or not: buttons
  // change state and run the actions of the transitions (the buttons'
  // clips are looked up afresh each time; none is held past a call).
  void Update(MovieScripts& scripts, Clip& root, double x, double y, bool down);
  // Forgets the buttons (a new movie).
  void Reset() { *this = ButtonPointer(); }

 private:
  // Drops the buttons that left the tree (the pointer is on nothing then).
  void Forget(Clip& root);
  void Hover(MovieScripts& scripts, Clip& root, Clip* under);
  void Press(MovieScripts& scripts, Clip& root, Clip* under);
  void Release(MovieScripts& scripts, Clip& root, double x, double y);
  void DragOver(MovieScripts& scripts, Clip& root, Clip* under);

  // Compared only with clips of the live tree: never read through when gone.
  Clip* hovered_ = nullptr;  // the button the pointer is on, up
  Clip* pressed_ = nullptr;  // the button the press began on, while held
  bool pressedOver_ = false;  // the pointer is on the pressed button
  bool down_ = false;
};

}  // namespace velmora::swf
