// setInterval, setTimeout and their clearing: the host ticks them with the
// movie's clock, each due call is a run of its own (bounded like any run).
#pragma once

#include "player/script/Value.h"

#include <vector>

namespace velmora::avm1 {

class Vm;

class Timers {
 public:
  // A function, or `object` and a method name; 0 when too many are alive.
  int Add(Vm& vm, const Value& function, const Value& object, Str* method, Args args, double intervalMs,
          bool repeat);
  bool Clear(int id);
  void Tick(Vm& vm, double nowMs);
  size_t Count() const { return entries_.size(); }
  void Trace(Tracer& tracer) const;

 private:
  struct Entry {
    int id = 0;
    Value function, object;
    Str* method = nullptr;
    std::vector<Value> args;
    double interval = 0, due = 0;
    bool repeat = true;
  };
  std::vector<Entry> entries_;
  int nextId_ = 1;
};

}  // namespace velmora::avm1
