#pragma once

#include <array>
#include <cstdint>

namespace quelvar {

// The block codec's 8-bit Gray-code table and its inverse, built once at
// start-up (InitGrayTables).
struct GrayTables {
  std::array<uint8_t, 256> ToGray{};
  std::array<uint8_t, 256> FromGray{};
};

}  // namespace quelvar
