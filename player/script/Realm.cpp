#include "player/script/Realm.h"

namespace velmora::avm1 {

void Names::Trace(Tracer& tracer) const {
  for (Str* s : {empty, length, prototype, constructor, proto, constructor2, toString, valueOf, thisName, root,
                 parent, global, superName, arguments, callee, caller, undefined, null, trueText, falseText,
                 resolve, message, name, onEnterFrame}) {
    tracer.Mark(s);
  }
}

void Protos::Trace(Tracer& tracer) const {
  for (Object* o : {object, function, array, string, number, boolean, date, error, movieClip, button, textField,
                    objectCtor, functionCtor, arrayCtor, key, mouse, stage, broadcaster}) {
    tracer.Mark(o);
  }
}

}  // namespace velmora::avm1
