#include "acquisition/ChannelLayout.h"

#include <algorithm>
#include <cmath>

#include "common/ConfigBounds.h"

namespace quelvar {

namespace {

int32_t AnalogCount(const LiveConfig& live) { return std::clamp(live.Analog_Num, 0, kMaxAnalogChannels); }
int32_t SwitchWords(const LiveConfig& live) { return (std::clamp(live.SW_Num, 0, kMaxSwitchInputs) + 15) / 16; }

}  // namespace

void ComputeRateLayout(LiveConfig& live, SampleLayout& layout) {
  const int32_t analog = AnalogCount(live);
  layout.Analog_Num = analog;
  layout.NumVChn = std::clamp(live.NumVChn, 0, kMaxVirtualChannels);
  layout.MultiFreqTable.fill(1);
  layout.ExtraSlotFirst.fill(0);
  layout.ExtraSlotLast.fill(0);
  layout.MaxMultiFreq = 1;
  // A configuration applied without the checks (the machine's own, put back)
  // may still carry any multiplier: each is bounded, so 100 channels' slots
  // stay far inside 32 bits.
  int32_t next = layout.NumVChn;
  for (int32_t c = 0; c < analog; ++c) {
    const int32_t m = ClampMultiFreq(live.AnalogChannelTable[c].MultiFreq);
    layout.MultiFreqTable[c] = m;
    layout.ExtraSlotFirst[c] = next;
    next += m - 1;
    layout.ExtraSlotLast[c] = next;
    layout.MaxMultiFreq = std::max(layout.MaxMultiFreq, m);
  }
  static_assert(int64_t{kMaxVirtualChannels} + int64_t{kMaxAnalogChannels} * (kMaxMultiFreq - 1) <= INT32_MAX);
  layout.NumChn = live.NumChn;
  live.MaxMultiFreq = layout.MaxMultiFreq;
}

void ComputeChannelLayout(LiveConfig& live, SampleLayout& layout, int32_t cardMaxSwitchChannels,
                          bool temporaryConfig, const std::function<float(int32_t, int32_t)>& channelFrq) {
  const int32_t analog = AnalogCount(live);
  live.NumVChn = analog + SwitchWords(live);
  if (cardMaxSwitchChannels != 0 && live.BegChn != live.Analog_Num) live.BegChn = live.Analog_Num;
  int64_t words = SwitchWords(live);
  for (int32_t c = 0; c < analog; ++c) words += ClampMultiFreq(live.AnalogChannelTable[c].MultiFreq);
  live.NumChn = static_cast<int32_t>(std::min<int64_t>(words, INT32_MAX));
  if (!temporaryConfig) {
    float rate = static_cast<float>(live.FrqSamp);
    if (channelFrq) {
      rate = channelFrq(live.Analog_Num, live.FrqSamp);
      if (live.OnlineResamp) rate /= static_cast<float>(live.ResampNum);
    }
    if (std::isnan(rate) || rate < 0.0f) rate = 1.0f;
    live.ChannelRate = rate;
  }
  ComputeRateLayout(live, layout);
  layout.MaxChannelRate = static_cast<float>(layout.MaxMultiFreq) * live.ChannelRate;
}

}  // namespace quelvar
