// A movie's scripts bound to its display tree: the engine (avm1::Vm) with
// this host, which answers for the clips, their properties and frame
// control, and runs what the movie asks in the reference player's order.
// In one tick: each clip, children before their parent, sends its
// enterFrame (onClipEvent(enterFrame), then onEnterFrame) and moves to its
// next frame, whose initialisation actions and frame scripts are queued;
// clips placed there queue their first frame's scripts and their load
// (onClipEvent(load), then onLoad) after their parent's frame script; clips
// that leave the list queue their unload. The queue runs in that order,
// then the intervals that are due. A run that passes a bound (actions,
// time, memory) stops for that frame; the timelines go on.
#pragma once

#include "player/display/StageLayout.h"
#include "player/display/Timeline.h"
#include "player/script/Vm.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora::swf {

class SpriteObject;
class TextFieldObject;

// Where the movie's Date finds the time. `movieMs` is the movie's own time
// since its first frame (frames times the frame period).
class MovieClock {
 public:
  virtual ~MovieClock() = default;
  virtual double NowUtcMs(double movieMs) = 0;
  // Local time minus UTC at `utcMs`, in milliseconds.
  virtual double LocalOffsetMs(double utcMs) = 0;
};

// A clock that shows `startLocalMs` (a local time, as milliseconds since
// 1970 on the local calendar) at the first frame and runs with the frames.
class FixedStartClock final : public MovieClock {
 public:
  explicit FixedStartClock(double startLocalMs) : start_(startLocalMs) {}
  double NowUtcMs(double movieMs) override { return start_ + movieMs; }
  double LocalOffsetMs(double) override { return 0; }

 private:
  double start_;
};

// "YYYY-MM-DDTHH:MM:SS" as milliseconds since 1970 on that calendar; false
// when the text is not such a time.
bool ParseLocalTime(const std::string& text, double& ms);

// More clips than this alive at once and scripts may make no more: a movie
// that duplicates its clips without end stops growing there.
constexpr size_t kMaxScriptClips = 50000;
// Frames that scripts' go-tos may enter with their scripts in one tick:
// scripts that keep jumping (frame 2 goes to 3, 3 to 2, ...) stop there for
// the tick, their clips showing the frame they last reached.
constexpr uint32_t kMaxGotoFramesPerTick = 256;
// Sizes of fields createTextField makes: a movie that makes fields of ever
// new sizes gets no more past these.
constexpr size_t kMaxScriptFieldSizes = 4096;

class MovieScripts final : public avm1::ScriptHost {
 public:
  explicit MovieScripts(const Movie& movie, avm1::Limits limits = avm1::Limits());
  ~MovieScripts() override;
  MovieScripts(const MovieScripts&) = delete;
  MovieScripts& operator=(const MovieScripts&) = delete;

  // The clock Date reads (not owned; null keeps 1970 plus the movie's time).
  void SetClock(MovieClock* clock) { clock_ = clock; }
  void SetRandomSeed(uint64_t seed) { random_ = seed ? seed : 1; }
  // Binds the root clip; its scripts run from its first frame.
  void BindRoot(Clip& root);
  // One tick of the movie's clock, as the comment above says.
  void Tick();

  // Pointer in stage twips and buttons, keys: clip events, Mouse and Key
  // listeners.
  void PointerMoved(double x, double y);
  void PointerButton(bool down);
  void KeyChanged(int code, int ascii, bool down);
  // The view the movie is shown in, in pixels, and the scale mode the host
  // shows it with. Under noScale a new size reaches Stage's onResize
  // listeners at once.
  void SetView(int width, int height, ScaleMode hostMode);
  // The scale mode and alignment a script chose (none: the host's holds).
  std::optional<ScaleMode> ScriptScaleMode() const { return scaleMode_; }
  StageAlign Align() const { return align_; }
  // A button's transition (buttoncond:: flags): the actions of its
  // conditions that name it run now, on the clip that holds the button,
  // then the handler of the button's object (onPress, onRelease...). A
  // sprite clip acting as a button runs its handler.
  void ButtonTransition(Clip& button, uint16_t transition);
  // Whether the pointer may use the clip as a button: a button that is not
  // disabled, or an enabled sprite clip with a button handler (onPress,
  // onRelease, onRollOver...) of its own or of its class.
  bool ActsAsButton(Clip& clip);
  // The clip a sprite button's hitArea names, or null (its own content).
  Clip* HitAreaOf(Clip& clip);

  // What the movie traced, the last lines only.
  const std::vector<std::string>& TraceLines() const { return traces_; }
  size_t StoppedRuns() const { return stops_; }
  avm1::StopReason LastStop() const { return lastStop_; }
  size_t LiveClips() const { return liveClips_; }
  size_t IgnoredRequests() const { return ignoredRequests_; }
  avm1::Vm& GetVm() { return *vm_; }
  Clip* Root() const { return root_; }
  double MovieMs() const;
  double PointerX() const { return pointerX_; }
  double PointerY() const { return pointerY_; }

  // --- For the display tree ---
  avm1::Rooted<SpriteObject> NewObject(Clip& clip, uint16_t characterId);
  void ClipGone() { --liveClips_; }
  bool MayMakeClip() const { return liveClips_ < kMaxScriptClips; }
  // The frame's init actions and scripts; those of frames that go-tos
  // reach past kMaxGotoFramesPerTick in one tick are left out.
  void QueueFrame(Clip& clip, uint32_t frame, bool byGoto);
  // Starts a new clip: its class's constructor, its first frame, its load.
  void StartClip(Clip& clip);
  void EnterFrameEvent(Clip& clip);
  // A clip leaves the display list: it unloads this tick and goes after it.
  void Unload(std::unique_ptr<Clip> clip, const std::vector<ClipAction>* clipActions);
  // The script object of the text field `o` of `parent`'s list, made the
  // first time it is asked for (null when `o` is no text field).
  TextFieldObject* FieldObject(Clip& parent, DisplayObject& o);
  // The character of createTextField for a box of this size (twips): one
  // per size, kept as long as the scripts, at most kMaxScriptFieldSizes
  // (null past them).
  const Character* ScriptField(double width, double height);
  // The character of createEmptyMovieClip: a sprite of one empty frame.
  const Character* EmptySprite() const { return &emptySprite_; }
  // The character exported as `name` (any case), or 0.
  uint16_t ExportedId(const std::string& name) const;

  // --- avm1::ScriptHost ---
  avm1::ClipObject* Level(int level) override;
  avm1::ClipObject* ReviveClip(std::u16string_view path) override;
  void FrameAction(avm1::ClipObject& clip, avm1::FrameOp op) override;
  void GotoFrame(avm1::ClipObject& clip, uint32_t frame0, bool play) override;
  void GotoLabel(avm1::ClipObject& clip, std::u16string_view label, bool play) override;
  void CallFrame(avm1::ClipObject& clip, uint32_t frame0) override;
  void CallFrameLabel(avm1::ClipObject& clip, std::u16string_view label) override;
  avm1::Value GetProperty(avm1::ClipObject& clip, avm1::ClipProperty property) override;
  void SetProperty(avm1::ClipObject& clip, avm1::ClipProperty property, const avm1::Value& value) override;
  void CloneSprite(avm1::ClipObject& source, std::u16string_view name, int depth) override;
  void RemoveSprite(avm1::ClipObject& clip) override;
  void GetUrl(const avm1::UrlRequest& request) override;
  bool RegisterClass(std::u16string_view name, avm1::Object* constructor) override;
  double TimerMs() override { return MovieMs(); }
  double NowUtcMs() override;
  double LocalOffsetMs(double utcMs) override;
  double MonotonicMs() override;
  double Random() override;
  void Trace(std::string_view utf8) override;
  avm1::StageInfo Stage() override;
  void ScriptStopped(avm1::ClipObject* target, avm1::StopReason reason) override;
  void SetStageScaleMode(std::u16string_view mode) override { scaleMode_ = ParseScaleMode(mode); }
  void SetStageAlign(std::u16string_view align) override { align_ = ParseStageAlign(align); }

  // The clip a script object stands for (null when it is gone).
  static Clip* ClipOf(avm1::Object* object);
  Clip* LiveClip(avm1::Object* object);
  // Finds a frame by its label, in any case; false when there is none.
  static bool FindLabel(const Clip& clip, const std::string& label, uint32_t& frame);

 private:
  // A run waiting its turn. Its target stays alive to the end of the tick:
  // a clip that leaves the tree is kept (with its script object pinned)
  // until the queue has run.
  struct Pending {
    enum class Kind : uint8_t { Code, Method, Construct } kind = Kind::Code;
    SpriteObject* target = nullptr;
    avm1::CodeBlock* code = nullptr;  // kept by the cache of blocks
    const char16_t* method = nullptr;
  };
  void QueueEvent(Clip& clip, const std::vector<ClipAction>* actions, uint32_t event, const char16_t* method);
  void QueueCode(Clip& clip, const std::vector<uint8_t>& bytes);
  // The property under `name`, own or inherited, found without running
  // anything; null when there is none.
  const avm1::Property* FindInChain(avm1::Object* object, const char16_t* name);
  // Whether the object has a function under `name` (own or inherited).
  bool HasHandler(avm1::Object* object, const char16_t* name);
  // The plain value under `name` (own or inherited; a getter is not run
  // and gives undefined).
  avm1::Value PlainMember(avm1::Object* object, const char16_t* name);
  void RunQueue();
  void RunPending(Pending& p);
  void Construct(SpriteObject& object);
  void BroadcastClipEvent(Clip& clip, uint32_t event, const char16_t* method);
  // The keyPress conditions of buttons and clip events that name `key`.
  void KeyPressed(Clip& clip, uint8_t key);
  avm1::CodeBlock* Code(const std::vector<uint8_t>& bytes);
  // Text fields bound to variables (FieldBinding.cpp): a field placed with
  // its variable undefined gives the variable its text; after the tick's
  // scripts each shows its variable's value, when it has one.
  struct BoundField {
    SpriteObject* timeline = nullptr;
    int32_t depth = 0;
    const EditText* field = nullptr;
  };
  void BindFields(bool show);
  void CollectBoundFields(Clip& clip);
  // The field `b` names, if it is still on its timeline's list.
  FieldState* FindBound(const BoundField& b);

  const Movie& movie_;
  std::unique_ptr<avm1::Vm> vm_;
  Clip* root_ = nullptr;
  MovieClock* clock_ = nullptr;
  uint64_t random_ = 0x9E3779B97F4A7C15ull;
  uint32_t ticks_ = 0;
  uint32_t gotoFrames_ = 0;  // this tick's
  std::vector<Pending> queue_;
  std::unordered_map<const uint8_t*, avm1::Rooted<avm1::CodeBlock>> code_;
  std::set<const InitAction*> initDone_;
  std::map<uint16_t, avm1::Rooted<avm1::Object>> classes_;
  std::set<uint16_t> exportedIds_;
  std::vector<std::unique_ptr<Clip>> unloading_;
  std::vector<std::string> traces_;
  Timeline emptyTimeline_;
  Character emptySprite_;
  size_t liveClips_ = 0, stops_ = 0, ignoredRequests_ = 0;
  avm1::StopReason lastStop_ = avm1::StopReason::None;
  double pointerX_ = 0, pointerY_ = 0;
  std::optional<ScaleMode> scaleMode_;
  StageAlign align_;
  ScaleMode hostMode_ = ScaleMode::ShowAll;
  int viewWidth_ = 0, viewHeight_ = 0;  // 0: not shown yet
  // What Stage() last answered, kept for the views it hands out.
  std::u16string stageModeName_, stageAlignName_;
  bool hasBoundFields_ = false;  // the movie defines a field with a variable
  std::vector<BoundField> boundFields_;  // this walk's, kept for its memory
  std::map<std::pair<int32_t, int32_t>, Character> scriptFields_;
};

}  // namespace velmora::swf
