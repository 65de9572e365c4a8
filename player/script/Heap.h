// The script heap: every string, object, scope and code block is a cell of
// one list, freed by a mark-and-sweep collection that the owner starts at
// safe points (cycles through prototypes and closures are the normal case).
// The heap keeps an estimate of the bytes its cells hold so that a movie
// cannot grow memory without bound: above the limit, scripts are stopped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora::avm1 {

class Heap;
class Tracer;
class Value;

class GcCell {
 public:
  GcCell() = default;
  GcCell(const GcCell&) = delete;
  GcCell& operator=(const GcCell&) = delete;
  virtual ~GcCell() = default;
  // Marks every cell this one refers to.
  virtual void Trace(Tracer&) {}

 private:
  friend class Heap;
  friend class Tracer;
  GcCell* gcNext_ = nullptr;
  size_t gcBytes_ = 0;  // what this cell is charged for
  bool marked_ = false;
};

// An immutable string of UTF-16 units. Interned strings are unique by
// content and serve as property names; `folded` is the interned lower-case
// form, the name's key where names ignore case.
class Str final : public GcCell {
 public:
  explicit Str(std::u16string text) : text_(std::move(text)) {}
  const std::u16string& Text() const { return text_; }
  size_t Length() const { return text_.size(); }
  bool Interned() const { return interned_; }
  Str* Folded() const { return folded_; }
  // A small number the engine attaches to an interned name (a clip
  // property's index); -1 for none.
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = static_cast<int8_t>(tag); }
  void Trace(Tracer& tracer) override;

 private:
  friend class Heap;
  std::u16string text_;
  bool interned_ = false;
  int8_t tag_ = -1;
  Str* folded_ = nullptr;
};

class Tracer {
 public:
  void Mark(GcCell* cell) {
    if (cell && !cell->marked_) {
      cell->marked_ = true;
      stack_.push_back(cell);
    }
  }
  void Mark(const Value& value);
  void Drain();

 private:
  std::vector<GcCell*> stack_;
};

// Whoever holds cells outside the heap's reach (the engine's roots).
class RootSource {
 public:
  virtual void TraceRoots(Tracer& tracer) = 0;

 protected:
  ~RootSource() = default;
};

class Heap {
 public:
  explicit Heap(size_t limitBytes) : limit_(limitBytes) {}
  ~Heap();
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;

  template <class T, class... Args>
  T* New(Args&&... args) {
    T* cell = new T(std::forward<Args>(args)...);
    Link(cell, sizeof(T));
    return cell;
  }
  Str* NewString(std::u16string text);
  // The one interned string of this content, made when new.
  Str* Intern(std::u16string_view text);

  // Adds to (or takes from) a cell's charge when it grows or shrinks.
  void Charge(GcCell* cell, ptrdiff_t bytes);
  size_t Bytes() const { return bytes_; }
  size_t Limit() const { return limit_; }
  void SetLimit(size_t bytes) { limit_ = bytes; }
  bool OverLimit() const { return bytes_ > limit_; }
  size_t CellCount() const { return cells_; }

  // Cells the host keeps outside the engine: kept alive while pinned.
  void Pin(GcCell* cell);
  void Unpin(GcCell* cell);

  // Marks from the pinned cells and `roots`, then frees the rest.
  void Collect(RootSource& roots);
  size_t Collections() const { return collections_; }

 private:
  void Link(GcCell* cell, size_t bytes);

  GcCell* head_ = nullptr;
  size_t bytes_ = 0;
  size_t limit_;
  size_t cells_ = 0;
  size_t collections_ = 0;
  std::unordered_map<std::u16string_view, Str*> interned_;
  std::unordered_map<GcCell*, int> pinned_;
};

// Keeps one cell alive for its own lifetime.
template <class T>
class Rooted {
 public:
  Rooted() = default;
  Rooted(Heap& heap, T* cell) : heap_(&heap), cell_(cell) {
    if (cell_) heap_->Pin(cell_);
  }
  Rooted(const Rooted& other) : Rooted(*other.heap_, other.cell_) {}
  Rooted& operator=(Rooted other) {
    std::swap(heap_, other.heap_);
    std::swap(cell_, other.cell_);
    return *this;
  }
  ~Rooted() {
    if (cell_) heap_->Unpin(cell_);
  }
  T* Get() const { return cell_; }
  T* operator->() const { return cell_; }
  explicit operator bool() const { return cell_ != nullptr; }

 private:
  Heap* heap_ = nullptr;
  T* cell_ = nullptr;
};

}  // namespace velmora::avm1
