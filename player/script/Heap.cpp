#include "player/script/Heap.h"

#include "player/script/Value.h"

#include <utility>

namespace velmora::avm1 {
namespace {

// Bookkeeping beside each cell: the allocator's header and our list link.
constexpr size_t kCellOverhead = 16;
constexpr size_t kInternEntryBytes = 48;

char16_t LowerUnit(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  // Latin-1 capitals, as names in movies of Western languages use them.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  return c;
}

}  // namespace

void Str::Trace(Tracer& tracer) {
  if (folded_ != this) tracer.Mark(folded_);
}

void Tracer::Drain() {
  while (!stack_.empty()) {
    GcCell* cell = stack_.back();
    stack_.pop_back();
    cell->Trace(*this);
  }
}

Heap::~Heap() {
  GcCell* cell = head_;
  while (cell) {
    GcCell* next = cell->gcNext_;
    delete cell;
    cell = next;
  }
}

void Heap::Link(GcCell* cell, size_t bytes) {
  cell->gcNext_ = head_;
  head_ = cell;
  cell->gcBytes_ = bytes + kCellOverhead;
  bytes_ += cell->gcBytes_;
  ++cells_;
}

Str* Heap::NewString(std::u16string text) {
  size_t extra = text.capacity() * sizeof(char16_t);
  Str* s = New<Str>(std::move(text));
  Charge(s, static_cast<ptrdiff_t>(extra));
  return s;
}

Str* Heap::Intern(std::u16string_view text) {
  auto it = interned_.find(text);
  if (it != interned_.end()) return it->second;
  Str* s = NewString(std::u16string(text));
  s->interned_ = true;
  interned_.emplace(std::u16string_view(s->text_), s);
  Charge(s, kInternEntryBytes);
  std::u16string lower(text);
  for (char16_t& c : lower) c = LowerUnit(c);
  s->folded_ = lower == s->text_ ? s : Intern(lower);
  return s;
}

void Heap::Charge(GcCell* cell, ptrdiff_t bytes) {
  if (bytes < 0 && static_cast<size_t>(-bytes) > cell->gcBytes_) bytes = -static_cast<ptrdiff_t>(cell->gcBytes_);
  cell->gcBytes_ += bytes;
  bytes_ += bytes;
}

void Heap::Pin(GcCell* cell) { ++pinned_[cell]; }

void Heap::Unpin(GcCell* cell) {
  auto it = pinned_.find(cell);
  if (it != pinned_.end() && --it->second == 0) pinned_.erase(it);
}

void Heap::Collect(RootSource& roots) {
  Tracer tracer;
  for (auto& [cell, count] : pinned_) tracer.Mark(cell);
  roots.TraceRoots(tracer);
  tracer.Drain();
  GcCell** link = &head_;
  while (GcCell* cell = *link) {
    if (cell->marked_) {
      cell->marked_ = false;
      link = &cell->gcNext_;
      continue;
    }
    *link = cell->gcNext_;
    if (auto* s = dynamic_cast<Str*>(cell); s && s->interned_) interned_.erase(s->text_);
    bytes_ -= cell->gcBytes_;
    --cells_;
    delete cell;
  }
  ++collections_;
}

}  // namespace velmora::avm1
