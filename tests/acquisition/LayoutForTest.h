#pragma once

#include <random>
#include <vector>

#include "acquisition/ChannelLayout.h"

namespace quelvar::test {

// The layout a start computes for analog channels of these multipliers and
// switchInputs switch inputs.
inline SampleLayout LayoutOf(const std::vector<int32_t>& multipliers, int32_t switchInputs) {
  LiveConfig live;
  live.Analog_Num = static_cast<int32_t>(multipliers.size());
  live.SW_Num = switchInputs;
  for (size_t c = 0; c < multipliers.size(); ++c) live.AnalogChannelTable[c].MultiFreq = multipliers[c];
  SampleLayout layout;
  ComputeChannelLayout(live, layout, 0, false, {});
  return layout;
}

// Up to maxAnalog analog channels of multipliers 1..maxMultiplier (single
// rate more often than not) and up to three switch words.
inline SampleLayout RandomLayout(std::mt19937& random, int32_t maxAnalog, int32_t maxMultiplier) {
  std::vector<int32_t> multipliers(std::uniform_int_distribution<int32_t>(0, maxAnalog)(random));
  for (int32_t& m : multipliers)
    m = random() % 2 ? 1 : std::uniform_int_distribution<int32_t>(1, maxMultiplier)(random);
  return LayoutOf(multipliers, std::uniform_int_distribution<int32_t>(0, 48)(random));
}

}  // namespace quelvar::test
