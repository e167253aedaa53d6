#include "BlockRing.h"

#include <algorithm>

namespace simcard {

void BlockRing::Reset(uint32_t capacity, size_t blockWords) {
  Release();
  words_.resize(static_cast<size_t>(capacity) * blockWords);
  capacity_ = capacity;
  blockWords_ = blockWords;
}

void BlockRing::Release() {
  std::vector<uint16_t>().swap(words_);
  blockWords_ = 0;
  capacity_ = head_ = count_ = 0;
}

void BlockRing::Push(const uint16_t* block) {
  if (capacity_ == 0) return;
  uint32_t slot;
  if (count_ == capacity_) {
    slot = head_;
    head_ = (head_ + 1) % capacity_;
  } else {
    slot = (head_ + count_) % capacity_;
    ++count_;
  }
  std::copy_n(block, blockWords_, Slot(slot));
}

bool BlockRing::PopOldest(uint16_t* out) {
  if (count_ == 0) return false;
  std::copy_n(Slot(head_), blockWords_, out);
  head_ = (head_ + 1) % capacity_;
  --count_;
  return true;
}

bool BlockRing::CopyNewest(uint16_t* out) const {
  if (count_ == 0) return false;
  std::copy_n(Slot((head_ + count_ - 1) % capacity_), blockWords_, out);
  return true;
}

}  // namespace simcard
