// The explicit stack of the node walks: it starts in the walk's own frame and moves to the heap
// only when it has to grow.
#pragma once

#include <string.h>

#include "toolkit/core/core.h"

template <typename T, int N>
class WTwalkstack {
 public:
  WTwalkstack() : items_(local_), size_(0), capacity_(N) {}
  ~WTwalkstack() {
    if (items_ != local_) _WTmem_free(items_);
  }
  WTwalkstack(const WTwalkstack &) = delete;
  WTwalkstack &operator=(const WTwalkstack &) = delete;

  void push(T item) {
    if (size_ == capacity_) grow();
    items_[size_++] = item;
  }
  bool pop(T *item) {
    if (size_ == 0) return false;
    *item = items_[--size_];
    return true;
  }
  bool empty() const { return size_ == 0; }

 private:
  void grow() {
    int capacity = capacity_ + 64;
    T *items = static_cast<T *>(_WTmem_alloc(sizeof(T) * capacity));
    memcpy(items, items_, sizeof(T) * size_);
    if (items_ != local_) _WTmem_free(items_);
    items_ = items;
    capacity_ = capacity;
  }

  T local_[N];
  T *items_;
  int size_;
  int capacity_;
};
