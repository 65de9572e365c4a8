// The names the engine looks up often, interned once, and the built-in
// prototypes and constructors the engine refers to directly.
#pragma once

#include "player/script/Function.h"

namespace velmora::avm1 {

struct Names {
  Str *empty, *length, *prototype, *constructor, *proto, *constructor2, *toString, *valueOf;
  Str *thisName, *root, *parent, *global, *superName, *arguments, *callee, *caller;
  Str *undefined, *null, *trueText, *falseText, *resolve, *message, *name;
  Str *onEnterFrame;
  void Trace(Tracer& tracer) const;
};

struct Protos {
  Object *object = nullptr, *function = nullptr, *array = nullptr, *string = nullptr;
  Object *number = nullptr, *boolean = nullptr, *date = nullptr, *error = nullptr;
  Object *movieClip = nullptr, *button = nullptr, *textField = nullptr;
  Object *objectCtor = nullptr, *functionCtor = nullptr, *arrayCtor = nullptr;
  Object *key = nullptr, *mouse = nullptr, *stage = nullptr, *broadcaster = nullptr;
  void Trace(Tracer& tracer) const;
};

}  // namespace velmora::avm1
