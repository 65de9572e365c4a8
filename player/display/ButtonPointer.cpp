#include "player/display/ButtonPointer.h"

#include "player/display/ClipGeometry.h"
#include "player/display/MovieScripts.h"
#include "player/swf/TagCodes.h"

namespace velmora::swf {
namespace {

// Nesting past this is not searched (the clips' own limit is lower).
constexpr int kMaxSearchDepth = 64;

bool InBox(const Box& box, double x, double y) {
  return !box.empty && x >= box.x0 && x <= box.x1 && y >= box.y0 && y <= box.y1;
}

// A button's hit-area characters; a sprite button's hitArea clip, else
// what it shows.
bool InHitArea(Clip& button, const Matrix& toStage, double x, double y) {
  if (!button.GetButton()) {
    MovieScripts* scripts = button.Scripts();
    if (Clip* area = scripts ? scripts->HitAreaOf(button) : nullptr) return InBox(ContentBox(*area, ClipToStage(*area)), x, y);
    return InBox(ContentBox(button, toStage), x, y);
  }
  for (const ButtonRecord& r : button.GetButton()->records) {
    if (!r.hitTest) continue;
    DisplayObject shape;
    shape.character = button.GetMovie().Find(r.characterId);
    shape.matrix = r.matrix;
    if (InBox(ObjectBox(shape, toStage), x, y)) return true;
  }
  return false;
}

// Walks the tree from the top (higher depths first, a sprite's children
// above what lies below the sprite): the first visible button hit, and
// whether each of `sought` is still in the tree.
struct Search {
  double x = 0, y = 0;
  Clip* sought[2] = {nullptr, nullptr};
  bool found[2] = {false, false};
  Clip* hit = nullptr;

  void Walk(Clip& clip, const Matrix& m, bool visible, int depth) {
    if (depth > kMaxSearchDepth) return;
    auto& list = clip.MutableDisplayList();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
      DisplayObject& o = it->second;
      if (!o.clip) continue;
      Clip& child = *o.clip;
      for (int i = 0; i < 2; ++i) found[i] = found[i] || &child == sought[i];
      const Matrix inner = m * o.matrix;
      const bool shown = visible && o.visible;
      // A sprite button takes the pointer for all it holds.
      MovieScripts* scripts = child.Scripts();
      const bool button = child.GetButton() ? !scripts || scripts->ActsAsButton(child)
                                            : scripts && scripts->ActsAsButton(child);
      if (button) {
        if (!hit && shown && InHitArea(child, inner, x, y)) hit = &child;
      } else if (!child.GetButton()) {
        Walk(child, inner, shown, depth + 1);
      }
    }
  }
};

// A button shows its state's characters; a sprite button goes to the frame
// labelled for the state, when it has one.
void ShowState(Clip& clip, ButtonState state) {
  if (clip.GetButton()) {
    clip.ShowButtonState(state);
    return;
  }
  const char* label = state == ButtonState::Over ? "_over" : state == ButtonState::Down ? "_down" : "_up";
  uint32_t frame = 0;
  if (MovieScripts::FindLabel(clip, label, frame)) clip.GotoFrame(frame, false);
}

}  // namespace

Clip* ButtonAt(Clip& root, double x, double y) {
  Search s;
  s.x = x;
  s.y = y;
  s.Walk(root, Matrix{}, true, 0);
  return s.hit;
}

void ButtonPointer::Forget(Clip& root) {
  Search s;
  s.sought[0] = hovered_;
  s.sought[1] = pressed_;
  s.Walk(root, Matrix{}, true, 0);
  if (!s.found[0]) hovered_ = nullptr;
  if (!s.found[1]) pressed_ = nullptr;
}

void ButtonPointer::Update(MovieScripts& scripts, Clip& root, double x, double y, bool down) {
  Forget(root);
  Clip* under = ButtonAt(root, x, y);
  if (down_ && !down) {
    down_ = false;
    Release(scripts, root, x, y);
    return;
  }
  if (!down_) Hover(scripts, root, under);
  if (!down_ && down) {
    down_ = true;
    Forget(root);  // the hover's actions may have changed the tree
    Press(scripts, root, ButtonAt(root, x, y));
    return;
  }
  if (down_) DragOver(scripts, root, under);
}

// The pointer moves with its button up: off one button and onto another.
void ButtonPointer::Hover(MovieScripts& scripts, Clip& root, Clip* under) {
  if (under == hovered_) return;
  if (Clip* left = hovered_) {
    hovered_ = nullptr;
    ShowState(*left, ButtonState::Up);
    scripts.ButtonTransition(*left, buttoncond::kOverUpToIdle);
    Forget(root);
  }
  if (under) {
    hovered_ = under;
    ShowState(*under, ButtonState::Over);
    scripts.ButtonTransition(*under, buttoncond::kIdleToOverUp);
  }
}

void ButtonPointer::Press(MovieScripts& scripts, Clip& root, Clip* under) {
  (void)root;
  if (!under) return;
  hovered_ = nullptr;
  pressed_ = under;
  pressedOver_ = true;
  ShowState(*under, ButtonState::Down);
  scripts.ButtonTransition(*under, buttoncond::kOverUpToOverDown);
}

// The pointer moves while held: only the pressed button answers, as the
// pointer leaves it and comes back.
void ButtonPointer::DragOver(MovieScripts& scripts, Clip& root, Clip* under) {
  (void)root;
  if (!pressed_) return;
  const bool over = under == pressed_;
  if (over == pressedOver_) return;
  pressedOver_ = over;
  ShowState(*pressed_, over ? ButtonState::Down : ButtonState::Up);
  scripts.ButtonTransition(*pressed_, over ? buttoncond::kOutDownToOverDown : buttoncond::kOverDownToOutDown);
}

void ButtonPointer::Release(MovieScripts& scripts, Clip& root, double x, double y) {
  if (Clip* button = pressed_) {
    pressed_ = nullptr;
    const bool over = ButtonAt(root, x, y) == button;
    ShowState(*button, over ? ButtonState::Over : ButtonState::Up);
    if (over) hovered_ = button;
    scripts.ButtonTransition(*button, over ? buttoncond::kOverDownToOverUp : buttoncond::kOutDownToIdle);
    Forget(root);
  }
  // Whatever is under the pointer now is hovered, up.
  Hover(scripts, root, ButtonAt(root, x, y));
}

}  // namespace velmora::swf
