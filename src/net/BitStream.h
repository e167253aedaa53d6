#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quelvar {

// The codec's bit stream, most significant bit first within each byte.
// Writing fills the stream's own buffer, which is kept and reused (grown,
// never shrunk); reading takes a caller's bytes and never goes past their end.
class BitStream {
 public:
  // What ReadBit and ReadBits give once the input is used up.
  static constexpr int32_t kEndOfInput = -1;

  // Starts a new output at the start of the buffer, with room for at least
  // `bytes` so that the writes that follow need not grow it.
  void BitWriterReset(size_t bytes);
  void WriteBit(bool one) {
    if (one) rack_ |= mask_;
    mask_ >>= 1;
    if (mask_ == 0) StoreRack();
  }
  // The low `count` bits of value (count at most 31), most significant
  // first; as many at a time as the byte being filled takes.
  void WriteBits(uint32_t value, int count) {
    while (count > 0) {
      const int room = std::countr_zero(mask_) + 1;  // bits left in rack_
      const int take = count < room ? count : room;
      count -= take;
      const uint32_t chunk = (value >> count) & ((1u << take) - 1u);
      rack_ = static_cast<uint8_t>(rack_ | (chunk << (room - take)));
      mask_ = static_cast<uint8_t>(mask_ >> take);
      if (mask_ == 0) StoreRack();
    }
  }
  // Stores the partly filled last byte, if any, padded with zero bits.
  void FlushBits() {
    if (mask_ != kFirstBit) StoreRack();
  }
  // The bytes written since the last reset; valid until the next reset.
  std::span<const uint8_t> Written() const { return {buffer_.data(), pos_}; }

  // Starts reading `length` bytes at data.
  void BitReaderReset(const uint8_t* data, size_t length);
  // The next bit (0 or 1), or kEndOfInput.
  int32_t ReadBit() {
    if (readMask_ == kFirstBit) {
      if (in_ == inEnd_) return kEndOfInput;
      readRack_ = *in_++;
    }
    const int32_t bit = (readRack_ & readMask_) != 0 ? 1 : 0;
    readMask_ >>= 1;
    if (readMask_ == 0) readMask_ = kFirstBit;
    return bit;
  }
  // The next `count` bits (at most 31), most significant first, or
  // kEndOfInput when the input ends before all of them.
  int32_t ReadBits(int count) {
    int32_t value = 0;
    for (int i = 0; i < count; ++i) {
      const int32_t bit = ReadBit();
      if (bit == kEndOfInput) return kEndOfInput;
      value = (value << 1) | bit;
    }
    return value;
  }

 private:
  static constexpr uint8_t kFirstBit = 0x80;
  // Room the buffer has at its first use.
  static constexpr size_t kInitialCapacity = 4096;

  void StoreRack() {
    if (pos_ == buffer_.size()) Grow();
    buffer_[pos_++] = rack_;
    rack_ = 0;
    mask_ = kFirstBit;
  }
  void Grow();

  std::vector<uint8_t> buffer_;
  size_t pos_ = 0;
  uint8_t rack_ = 0;
  uint8_t mask_ = kFirstBit;

  const uint8_t* in_ = nullptr;
  const uint8_t* inEnd_ = nullptr;
  uint8_t readRack_ = 0;
  uint8_t readMask_ = kFirstBit;
};

}  // namespace quelvar
