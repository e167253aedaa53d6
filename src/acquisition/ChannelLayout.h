#pragma once

#include <functional>

#include "common/LiveConfig.h"
#include "common/SampleLayout.h"

namespace quelvar {

// The rate layout from the analog channels' multipliers: MultiFreqTable,
// ExtraSlotFirst/Last and MaxMultiFreq (also written to live.MaxMultiFreq).
// The counts are taken within the tables' capacities.
void ComputeRateLayout(LiveConfig& live, SampleLayout& layout);

// The whole layout before a start: NumVChn, BegChn (when the card reads
// switch inputs itself), NumChn, ChannelRate (from the driver's entry unless
// a temporary configuration is in force), the rate layout and MaxChannelRate.
void ComputeChannelLayout(LiveConfig& live, SampleLayout& layout, int32_t cardMaxSwitchChannels,
                          bool temporaryConfig, const std::function<float(int32_t, int32_t)>& channelFrq);

}  // namespace quelvar
