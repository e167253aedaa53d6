#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quelvar::platform {

// A first-in first-out byte queue with a capacity: Push takes only what fits.
// Storage grows with the content, never past the capacity.
class ByteQueue {
 public:
  explicit ByteQueue(size_t capacity = 0) : capacity_(capacity) {}

  size_t Size() const { return bytes_.size() - head_; }
  size_t Capacity() const { return capacity_; }
  size_t Room() const { return capacity_ > Size() ? capacity_ - Size() : 0; }
  bool Empty() const { return Size() == 0; }

  // A smaller capacity than the content keeps the content; Push then takes
  // nothing until the queue has drained below it.
  void SetCapacity(size_t capacity) { capacity_ = capacity; }

  // Appends as much as fits; returns the bytes taken.
  size_t Push(const uint8_t* data, size_t size) {
    const size_t taken = std::min(size, Room());
    if (taken == 0) return 0;
    Compact();
    bytes_.insert(bytes_.end(), data, data + taken);
    return taken;
  }

  // Moves up to `size` bytes from the front into `out`; returns the count.
  size_t Pop(uint8_t* out, size_t size) {
    const size_t taken = std::min(size, Size());
    if (taken > 0) std::memcpy(out, bytes_.data() + head_, taken);
    Drop(taken);
    return taken;
  }

  // The bytes at the front, for handing to the device without a copy.
  const uint8_t* Front() const { return bytes_.data() + head_; }

  void Drop(size_t size) {
    head_ += std::min(size, Size());
    if (head_ == bytes_.size()) Clear();
  }

  void Clear() {
    bytes_.clear();
    head_ = 0;
  }

 private:
  // Reclaims the consumed front before the storage would grow.
  void Compact() {
    if (head_ == 0) return;
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }

  std::vector<uint8_t> bytes_;
  size_t head_ = 0;
  size_t capacity_;
};

}  // namespace quelvar::platform
