// Everything that decides a frame's picture, object by object down the whole
// display tree: what each object shows, where and how, and the same for the
// objects inside its clip. When two frames have the same state, the second
// draws the same picture as the first, filters, masks, blend modes and
// layers included, so it need not be drawn at all: a movie that stands still
// (a stopped title, a looping single frame) then costs only its timeline.
#pragma once

#include "player/display/Timeline.h"
#include "player/render/BackdropCache.h"

#include <cstdint>
#include <vector>

namespace velmora::swf {

class SceneState {
 public:
  // Takes the state of the tree under `root`; true when it is the state
  // taken by the call before (false at the first call and after Forget).
  bool TakeAndCompare(const Clip& root);
  // The next call compares with nothing: something outside the tree (the
  // fonts, the canvas) changed what the same state draws.
  void Forget() { known_ = false; }

 private:
  // One object: its placement, and how many entries its clip's objects take
  // after it, so that two trees of the same objects in other nests differ.
  struct Entry {
    PlacedState placed;
    uint16_t clipDepth = 0;
    uint8_t buttonState = 0;
    // setMask: the clip's mask, and whether the clip is one.
    const Clip* scriptMask = nullptr;
    bool isScriptMask = false;
    uint32_t inside = 0;
    bool operator==(const Entry& o) const;
  };

  void Take(const Clip& clip);
  Entry& Next();

  std::vector<Entry> now_, before_;
  size_t used_ = 0;
  bool known_ = false;
  uint64_t rootDrawing_ = 0;  // what scripts drew on the root itself
};

}  // namespace velmora::swf
