// The running state of a timeline: the display list of each clip, per depth,
// with nested sprite and button clips, frame advance, looping and go-to. A
// clip bound to a movie's scripts (MovieScripts) hands its frame scripts and
// clip events to them; a clip without runs no script.
#pragma once

#include "player/display/TextFieldState.h"
#include "player/script/Heap.h"
#include "player/swf/SwfMovie.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace velmora::swf {

class Clip;
class ClipDrawing;
class MovieScripts;
class SpriteObject;

// Depths of the display list: a timeline's objects keep the file's depth
// (1 to 65535); scripts number depths from this offset below those, as the
// reference player does, so script depth 0 (the first a script may use for
// its own clips) lies above every timeline depth up to 16383.
constexpr int32_t kScriptDepthOffset = 16384;
// The highest depth a script may give a clip.
constexpr int32_t kMaxScriptDepth = 1048575;

struct DisplayObject {
  int32_t depth = 0;
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
  std::string name;  // the instance name scripts know it by
  // A script set its transform, colour or visibility, or moved it to another
  // depth: the timeline moves it no more.
  bool scripted = false;
  // Made by a script (attachMovie, duplicateMovieClip...): no frame of the
  // timeline removes it; removeMovieClip does.
  bool dynamic = false;
  // The scale and rotation a script gave it, kept apart from the matrix so
  // that setting one does not wear the others down.
  bool hasScriptParts = false;
  double xScale = 100, yScale = 100, rotation = 0;
  const std::vector<ClipAction>* clipActions = nullptr;  // onClipEvent handlers
  std::unique_ptr<Clip> clip;  // the sprite's own timeline, or the button's state
  std::unique_ptr<FieldState> field;  // a text field's text and looks now
};

class Clip {
 public:
  // `loop`: whether the clip starts over after its last frame (sprites
  // always do). `nesting`: how many clips hold this one.
  Clip(const Movie& movie, const Timeline& timeline, bool loop, int nesting = 0);
  // A button: its display list holds the characters of the state it shows,
  // each a display object of its own (a sprite among them runs its frames).
  Clip(const Movie& movie, const Button& button, int nesting);
  ~Clip();
  Clip(const Clip&) = delete;
  Clip& operator=(const Clip&) = delete;

  // Binds the movie's root clip to the scripts; the clips it makes are bound
  // too. Called before the first frame.
  void BindScripts(MovieScripts* scripts);

  // Shows the first frame: its objects placed, its actions run.
  void Start();
  // One tick of the movie's clock: children advance, then this clip moves on
  // to its next frame when playing.
  void Advance();
  // Shows `frame` (0-based, clamped to the last frame); the frame reached
  // runs its scripts when it is another one.
  void GotoFrame(uint32_t frame, bool play);

  uint32_t CurrentFrame() const { return current_; }
  uint32_t FrameCount() const { return static_cast<uint32_t>(timeline_.frames.size()); }
  bool Playing() const { return playing_; }
  void SetPlaying(bool playing) { playing_ = playing; }
  const std::map<int32_t, DisplayObject>& DisplayList() const { return displayList_; }
  const Timeline& GetTimeline() const { return timeline_; }
  const Movie& GetMovie() const { return movie_; }

  // A button's state: up from its start. The characters of the new state
  // that the old one shows at the same depth stay as they are (a sprite
  // among them runs on); the rest are placed afresh. No effect on a clip
  // that is not a button.
  void ShowButtonState(ButtonState state);
  ButtonState ShownButtonState() const { return buttonState_; }
  const Button* GetButton() const { return button_; }

  // --- The display tree as scripts see it ---
  Clip* Parent() const { return parent_; }
  // The display object that shows this clip in its parent (none for the
  // root and for a clip being unloaded).
  DisplayObject* Holder() const { return holder_; }
  SpriteObject* Object() const { return object_.Get(); }
  MovieScripts* Scripts() const { return scripts_; }
  // The sprite child with this instance name (case-insensitive when asked).
  Clip* ChildNamed(const std::string& name, bool caseSensitive) const;
  // The text field with this instance name, when no sprite child has it.
  DisplayObject* FieldNamed(const std::string& name, bool caseSensitive);
  std::map<int32_t, DisplayObject>& MutableDisplayList() { return displayList_; }
  // Places a sprite made by a script at `depth` (the list's own numbering),
  // replacing what is there; null when the character is no sprite or the
  // scripts refuse more clips. `like` (a duplicate's source) gives its
  // transform, colour and clip events.
  Clip* PlaceDynamic(int32_t depth, const Character* character, uint16_t characterId, const std::string& name,
                     const DisplayObject* like = nullptr);
  // Places a text field made by a script at `depth`, replacing what is
  // there; null when the character is no text field.
  DisplayObject* PlaceDynamicField(int32_t depth, const Character* character, const std::string& name);
  // Takes the object at `depth` off the list (its clip unloads).
  void RemoveAt(int32_t depth);
  // Moves the object at `from` to `to`, and what was at `to` to `from`.
  bool SwapDepths(int32_t from, int32_t to);
  // The load event has been sent (enterFrame follows from the next tick).
  bool Loaded() const { return loaded_; }
  void SetLoaded() { loaded_ = true; }
  // What scripts drew on the clip (null until they draw), shown below its
  // display list.
  const ClipDrawing* Drawing() const { return drawing_.get(); }
  ClipDrawing& MutableDrawing();

  // --- A mask a script set (setMask) ---
  // This clip shows only where `mask` draws; null takes the mask away. A
  // clip masks one clip at a time: the clip it masked before shows whole
  // again, as does the mask this clip had.
  void SetScriptMask(Clip* mask);
  // The mask while it is on the display tree, else null.
  Clip* ScriptMask() const;
  // Whether this clip is a live clip's mask: then it is drawn only as that
  // mask, not in its own place.
  bool IsScriptMask() const;

 private:
  void ApplyFrameTags(uint32_t frame);
  void ApplyPlace(const PlaceObject& place);
  // Shows `frame`, replayed from the first when `rebuild`, else reached by
  // applying the frames after the current one; then queues its scripts.
  // `byGoto`: reached by a script's go-to rather than by the clock.
  void EnterFrame(uint32_t frame, bool rebuild, bool byGoto = false);
  void Rebuild(uint32_t frame);
  void AdvanceChildren();
  // Gives `object` the character `id`, with a clip of its own when it is a
  // sprite or a button.
  void Instantiate(DisplayObject& object, uint16_t id, const Character* character);
  // Makes the clip of a sprite or button object and binds it; it starts now
  // or, while this clip's frame is entered, after that frame's scripts.
  void MakeClip(DisplayObject& object);
  // The clip of a display object that leaves the list: it unloads.
  void Release(DisplayObject& object);

  const Movie& movie_;
  const Timeline& timeline_;
  bool loop_;
  int nesting_ = 0;
  const Button* button_ = nullptr;
  ButtonState buttonState_ = ButtonState::Up;
  bool playing_ = true;
  bool started_ = false;
  bool loaded_ = false;
  bool rebuilding_ = false;  // objects of a replay get their clips afterwards
  uint32_t current_ = 0;
  std::map<int32_t, DisplayObject> displayList_;
  MovieScripts* scripts_ = nullptr;
  Clip* parent_ = nullptr;
  DisplayObject* holder_ = nullptr;
  avm1::Rooted<SpriteObject> object_;
  // Held by their script objects, which outlive a removed clip and answer
  // no clip then: a mask or masked clip that goes simply stops counting.
  avm1::Rooted<SpriteObject> scriptMask_, maskedBy_;
  // Children placed while a frame is entered, started after its scripts.
  std::vector<Clip*>* entering_ = nullptr;
  std::unique_ptr<ClipDrawing> drawing_;

  friend class MovieScripts;
};

}  // namespace velmora::swf
