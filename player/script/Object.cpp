#include "player/script/Object.h"

namespace velmora::avm1 {
namespace {

constexpr size_t kIndexThreshold = 8;
constexpr size_t kPropertyBytes = sizeof(Property) + 16;

}  // namespace

void Tracer::Mark(const Value& value) {
  if (value.IsString()) {
    Mark(value.AsString());
  } else if (value.IsObject()) {
    Mark(static_cast<GcCell*>(value.AsObject()));
  }
}

Property* Object::FindOwn(const Str* key) {
  if (index_) {
    auto it = index_->find(key);
    return it == index_->end() ? nullptr : &props_[it->second];
  }
  for (Property& p : props_) {
    if (p.key == key) return &p;
  }
  return nullptr;
}

Property& Object::PutOwn(Heap& heap, Str* key, Str* name, const Value& value, uint16_t flags) {
  if (Property* p = FindOwn(key)) {
    p->value = value;
    p->setter = nullptr;
    p->flags = flags;
    return *p;
  }
  props_.push_back(Property{key, name, value, nullptr, flags});
  heap.Charge(this, kPropertyBytes);
  if (index_) {
    index_->emplace(key, static_cast<uint32_t>(props_.size() - 1));
  } else if (props_.size() > kIndexThreshold) {
    RebuildIndex();
  }
  return props_.back();
}

bool Object::RemoveOwn(Heap& heap, const Str* key) {
  for (size_t i = 0; i < props_.size(); ++i) {
    if (props_[i].key != key) continue;
    props_.erase(props_.begin() + static_cast<ptrdiff_t>(i));
    heap.Charge(this, -static_cast<ptrdiff_t>(kPropertyBytes));
    if (index_) RebuildIndex();
    return true;
  }
  return false;
}

void Object::RebuildIndex() {
  if (!index_) index_ = std::make_unique<std::unordered_map<const Str*, uint32_t>>();
  index_->clear();
  for (size_t i = 0; i < props_.size(); ++i) index_->emplace(props_[i].key, static_cast<uint32_t>(i));
}

void Object::SetInterfaces(std::vector<Object*> list) {
  interfaces_ = std::make_unique<std::vector<Object*>>(std::move(list));
}

void Object::Trace(Tracer& tracer) {
  tracer.Mark(proto_);
  for (const Property& p : props_) {
    tracer.Mark(p.key);
    tracer.Mark(p.name);
    tracer.Mark(p.value);
    tracer.Mark(p.setter);
  }
  if (interfaces_) {
    for (Object* o : *interfaces_) tracer.Mark(o);
  }
}

}  // namespace velmora::avm1
