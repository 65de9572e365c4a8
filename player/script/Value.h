// A script value: undefined, null, a boolean, a number, a string or an
// object. Strings and objects live on the heap; a value only points at them.
#pragma once

#include "player/script/Heap.h"

#include <cstddef>

namespace velmora::avm1 {

class Object;

enum class Type : uint8_t { Undefined, Null, Boolean, Number, String, Object };

class Value {
 public:
  Value() : type_(Type::Undefined), number_(0) {}
  static Value Null() { return Value(Type::Null); }
  static Value Bool(bool b) {
    Value v(Type::Boolean);
    v.boolean_ = b;
    return v;
  }
  static Value Number(double n) {
    Value v(Type::Number);
    v.number_ = n;
    return v;
  }
  static Value String(Str* s) {
    Value v(Type::String);
    v.string_ = s;
    return v;
  }
  static Value Obj(Object* o) {
    if (!o) return Null();
    Value v(Type::Object);
    v.object_ = o;
    return v;
  }

  Type GetType() const { return type_; }
  bool IsUndefined() const { return type_ == Type::Undefined; }
  bool IsNull() const { return type_ == Type::Null; }
  bool IsNullish() const { return type_ == Type::Undefined || type_ == Type::Null; }
  bool IsBoolean() const { return type_ == Type::Boolean; }
  bool IsNumber() const { return type_ == Type::Number; }
  bool IsString() const { return type_ == Type::String; }
  bool IsObject() const { return type_ == Type::Object; }

  bool AsBool() const { return boolean_; }
  double AsNumber() const { return number_; }
  Str* AsString() const { return string_; }
  Object* AsObject() const { return type_ == Type::Object ? object_ : nullptr; }

 private:
  explicit Value(Type type) : type_(type), number_(0) {}
  Type type_;
  union {
    bool boolean_;
    double number_;
    Str* string_;
    Object* object_;
  };
};

// A run of call arguments; reading past the end gives undefined.
class Args {
 public:
  Args() = default;
  Args(const Value* data, size_t size) : data_(data), size_(size) {}
  size_t Size() const { return size_; }
  Value operator[](size_t i) const { return i < size_ ? data_[i] : Value(); }
  const Value* Data() const { return data_; }

 private:
  const Value* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace velmora::avm1
