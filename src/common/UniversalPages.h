#pragma once

#include <array>
#include <cstdint>

#include "common/LiveConfig.h"

namespace quelvar {

inline constexpr int kStoredUniversalPages = 5;

// The main window's universal page (analog channel numbers first, then
// switch-input indexes) and the five stored pages it can switch between.
struct UniversalPages {
  int32_t VPAnalog = 1;
  int32_t VPBin = 0;
  std::array<int32_t, kMaxDisplayPositions> VP{};
  std::array<int32_t, kStoredUniversalPages> VPAnalogPages{1, 1, 1, 1, 1};
  std::array<int32_t, kStoredUniversalPages> VPBinPages{};
  std::array<std::array<int32_t, kMaxDisplayPositions>, kStoredUniversalPages> VPPages{};
  int32_t VPageNum = 0;  // the selected stored page, 0..4
};

}  // namespace quelvar
