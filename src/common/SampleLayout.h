#pragma once

#include <array>
#include <cstdint>

namespace quelvar {

// Virtual channels handed to the driver: 100 analog channels and 12 switch words.
inline constexpr int kMaxVirtualChannels = 112;

// Which 16-bit word of a sample row holds which channel's sample. A row is:
// the base samples of the analog channels (words 0..Analog_Num-1), the
// switch words (..NumVChn-1), then the extra sub-samples of the multi-rate
// channels: sub-sample k (1..MultiFreq-1) of analog channel c is word
// ExtraSlotFirst[c] + k - 1, up to but excluding ExtraSlotLast[c].
struct SampleLayout {
  int32_t Analog_Num = 0;
  int32_t NumVChn = 0;
  int32_t NumChn = 0;  // words per row
  std::array<int32_t, kMaxVirtualChannels> MultiFreqTable{};
  std::array<int32_t, kMaxVirtualChannels> ExtraSlotFirst{};
  std::array<int32_t, kMaxVirtualChannels> ExtraSlotLast{};
  int32_t MaxMultiFreq = 1;
  float MaxChannelRate = 0.0f;  // Hz, the fastest channel's rate
};

}  // namespace quelvar
