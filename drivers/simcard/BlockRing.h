#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace simcard {

// The card's finished blocks, oldest first, in buffers allocated once per
// start. A block arriving when all are full takes the oldest one's place:
// the reader then sees a gap in the sequence words. Not thread-safe.
class BlockRing {
 public:
  // Allocates `capacity` blocks of `blockWords` words; may throw bad_alloc.
  void Reset(uint32_t capacity, size_t blockWords);
  void Release();

  void Push(const uint16_t* block);
  bool PopOldest(uint16_t* out);
  bool CopyNewest(uint16_t* out) const;
  uint32_t Count() const { return count_; }

 private:
  uint16_t* Slot(uint32_t index) { return words_.data() + static_cast<size_t>(index) * blockWords_; }
  const uint16_t* Slot(uint32_t index) const { return words_.data() + static_cast<size_t>(index) * blockWords_; }

  std::vector<uint16_t> words_;
  size_t blockWords_ = 0;
  uint32_t capacity_ = 0;
  uint32_t head_ = 0;  // oldest block
  uint32_t count_ = 0;
};

}  // namespace simcard
