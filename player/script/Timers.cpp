#include "player/script/Timers.h"

#include "player/script/Vm.h"

#include <algorithm>

namespace velmora::avm1 {
namespace {

// The reference player fires at most about once per millisecond; a zero
// interval would otherwise fire at every tick for ever.
constexpr double kMinIntervalMs = 1;

}  // namespace

int Timers::Add(Vm& vm, const Value& function, const Value& object, Str* method, Args args,
                double intervalMs, bool repeat) {
  if (entries_.size() >= vm.GetLimits().timers) return 0;
  Entry e;
  e.id = nextId_++;
  e.function = function;
  e.object = object;
  e.method = method;
  e.args.assign(args.Data(), args.Data() + args.Size());
  e.interval = intervalMs > kMinIntervalMs ? intervalMs : kMinIntervalMs;
  e.due = vm.Host().TimerMs() + e.interval;
  e.repeat = repeat;
  entries_.push_back(std::move(e));
  return entries_.back().id;
}

bool Timers::Clear(int id) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  return true;
}

void Timers::Tick(Vm& vm, double nowMs) {
  std::vector<int> due;
  for (const Entry& e : entries_) {
    if (e.due <= nowMs) due.push_back(e.id);
  }
  for (int id : due) {
    auto it = std::find_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
    if (it == entries_.end()) continue;  // cleared by an earlier call
    Entry e = *it;
    if (e.repeat) {
      // Late ticks do not pile up: the next call is one interval from now.
      it->due = std::max(e.due + e.interval, nowMs);
      if (it->due <= nowMs) it->due = nowMs + e.interval;
    } else {
      entries_.erase(it);
    }
    Args args(e.args.data(), e.args.size());
    if (e.method) {
      vm.CallMethodByName(e.object.AsObject(), e.method->Text(), args);
    } else {
      vm.CallValue(e.function, Value(), args);
    }
  }
}

void Timers::Trace(Tracer& tracer) const {
  for (const Entry& e : entries_) {
    tracer.Mark(e.function);
    tracer.Mark(e.object);
    tracer.Mark(e.method);
    for (const Value& v : e.args) tracer.Mark(v);
  }
}

}  // namespace velmora::avm1
