#include "net/BitStream.h"

#include <algorithm>

namespace quelvar {

void BitStream::BitWriterReset(size_t bytes) {
  const size_t wanted = std::max(bytes, kInitialCapacity);
  if (buffer_.size() < wanted) buffer_.resize(wanted);
  pos_ = 0;
  rack_ = 0;
  mask_ = kFirstBit;
}

void BitStream::Grow() { buffer_.resize(std::max(kInitialCapacity, buffer_.size() * 2)); }

void BitStream::BitReaderReset(const uint8_t* data, size_t length) {
  in_ = data;
  inEnd_ = data + length;
  readRack_ = 0;
  readMask_ = kFirstBit;
}

}  // namespace quelvar
