// What the engine needs from the player around it: the display tree and its
// frame control, clip properties by index, time, chance and output. Every
// call has a do-nothing default, so a host states only what it has. The
// host decides what a request from a movie may do: our player ignores the
// network and files outside the movie's folder.
#pragma once

#include "player/script/Value.h"

#include <cstdint>
#include <string_view>

namespace velmora::avm1 {

class ClipObject;
class Object;

// Why a script was stopped before its end.
enum class StopReason : uint8_t {
  None,
  ActionLimit,     // too many actions in one run or one frame
  TimeLimit,       // too much wall time in one frame
  RecursionLimit,  // calls nested deeper than the reference player allows
  OutOfMemory,     // the heap stayed above its bound after a collection
  StringTooLong,   // a string above the length bound was asked for
  StackOverflow,   // too many values left on the operand stack
  Uncaught,        // a thrown value nobody caught (the reference player just stops)
};

enum class FrameOp : uint8_t { Play, Stop, NextFrame, PrevFrame, StopSounds, ToggleQuality };

// Clip properties in the numbering of GetProperty and SetProperty.
enum class ClipProperty : uint8_t {
  X, Y, XScale, YScale, CurrentFrame, TotalFrames, Alpha, Visible, Width, Height, Rotation,
  Target, FramesLoaded, Name, DropTarget, Url, HighQuality, FocusRect, SoundBufTime,
  Quality, XMouse, YMouse,
};
constexpr int kClipPropertyCount = 22;

// GetURL2's method: none, GET, POST; the flags say what the request loads.
struct UrlRequest {
  std::u16string_view url, target;
  int method = 0;
  bool loadTarget = false, loadVariables = false;
};

struct DragBounds {
  double left = 0, top = 0, right = 0, bottom = 0;
};

struct StageInfo {
  double width = 550, height = 400;
  std::u16string_view scaleMode = u"showAll";
  std::u16string_view align = u"";
};

class ScriptHost {
 public:
  virtual ~ScriptHost() = default;

  // _level0 is the movie; other levels hold loaded movies (none: null).
  virtual ClipObject* Level(int /*level*/) { return nullptr; }
  // A clip reference whose display object went away looks again at its
  // path: the clip now there (made anew with the same name), or null.
  virtual ClipObject* ReviveClip(std::u16string_view /*path*/) { return nullptr; }

  virtual void FrameAction(ClipObject& /*clip*/, FrameOp /*op*/) {}
  virtual void GotoFrame(ClipObject& /*clip*/, uint32_t /*frame0*/, bool /*play*/) {}
  virtual void GotoLabel(ClipObject& /*clip*/, std::u16string_view /*label*/, bool /*play*/) {}
  // The actions of one frame of `clip`, run now (ActionCall): the host finds
  // them and runs them through Vm::Run with the clip as target.
  virtual void CallFrame(ClipObject& /*clip*/, uint32_t /*frame0*/) {}
  virtual void CallFrameLabel(ClipObject& /*clip*/, std::u16string_view /*label*/) {}

  virtual Value GetProperty(ClipObject& /*clip*/, ClipProperty /*property*/) { return Value(); }
  virtual void SetProperty(ClipObject& /*clip*/, ClipProperty /*property*/, const Value& /*value*/) {}
  virtual void CloneSprite(ClipObject& /*source*/, std::u16string_view /*name*/, int /*depth*/) {}
  virtual void RemoveSprite(ClipObject& /*clip*/) {}
  virtual void StartDrag(ClipObject& /*clip*/, bool /*lockCenter*/, const DragBounds* /*bounds*/) {}
  virtual void EndDrag() {}
  // getURL, loadMovie, loadVariables and fscommand ("FSCommand:..." urls).
  virtual void GetUrl(const UrlRequest& /*request*/) {}
  // Object.registerClass(name, constructor): the clips exported as `name`
  // are made with `constructor`; false when nothing is exported so.
  virtual bool RegisterClass(std::u16string_view /*name*/, Object* /*constructor*/) { return false; }

  // getTimer and GetTime: milliseconds since the movie started.
  virtual double TimerMs() { return 0; }
  // Date: milliseconds since 1970-01-01 UTC, and the local offset from UTC
  // (local minus UTC, in milliseconds) at such a moment.
  virtual double NowUtcMs() { return 0; }
  virtual double LocalOffsetMs(double /*utcMs*/) { return 0; }
  // A clock for the wall-time bound of a frame's scripts; 0 turns it off.
  virtual double MonotonicMs() { return 0; }
  // Math.random and random(): a number in [0, 1).
  virtual double Random() { return 0; }
  virtual void Trace(std::string_view /*utf8*/) {}
  virtual StageInfo Stage() { return StageInfo(); }
  // A script set Stage.scaleMode or Stage.align (the text as given).
  virtual void SetStageScaleMode(std::u16string_view /*mode*/) {}
  virtual void SetStageAlign(std::u16string_view /*align*/) {}
  // A run was stopped by a bound; `target` is the clip it ran for.
  virtual void ScriptStopped(ClipObject* /*target*/, StopReason /*reason*/) {}
};

}  // namespace velmora::avm1
