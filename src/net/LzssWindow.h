#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quelvar {

// The stream's geometry: 12-bit window positions and 8-bit length fields.
inline constexpr int32_t kLzssWindowSize = 4096;
// A match costs 21 bits, so it only pays from three bytes on; a length
// field L stands for L + kLzssMinMatch bytes.
inline constexpr int32_t kLzssMinMatch = 3;
// The longest match, 255 + kLzssMinMatch: also how far the compressor looks ahead.
inline constexpr int32_t kLzssLookAhead = 258;

inline constexpr int32_t WrapWindowPosition(int32_t position) { return position & (kLzssWindowSize - 1); }

// The codec's 4096-byte window, all zero at first. The compressor and the
// expander both write it and nothing clears it, so a call starts with what the
// previous one left. The first kLzssLookAhead bytes are mirrored past the end,
// so that the string at any position can be read as kLzssLookAhead bytes of
// plain memory, wrap included.
class LzssWindow {
 public:
  // position: 0 to kLzssWindowSize - 1.
  uint8_t At(int32_t position) const { return bytes_[static_cast<size_t>(position)]; }
  void Put(int32_t position, uint8_t value) {
    bytes_[static_cast<size_t>(position)] = value;
    if (position < kLzssLookAhead) bytes_[static_cast<size_t>(position + kLzssWindowSize)] = value;
  }
  // The kLzssLookAhead bytes from position on, in window order.
  const uint8_t* StringAt(int32_t position) const { return bytes_.data() + position; }

 private:
  std::array<uint8_t, kLzssWindowSize + kLzssLookAhead> bytes_{};
};

}  // namespace quelvar
