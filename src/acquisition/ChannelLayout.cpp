#include "acquisition/ChannelLayout.h"

#include <algorithm>
#include <cmath>

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
  int32_t next = layout.NumVChn;
  for (int32_t c = 0; c < analog; ++c) {
    const int32_t m = std::max(live.AnalogChannelTable[c].MultiFreq, 1);
    layout.MultiFreqTable[c] = m;
    layout.ExtraSlotFirst[c] = next;
    next += m - 1;
    layout.ExtraSlotLast[c] = next;
    layout.MaxMultiFreq = std::max(layout.MaxMultiFreq, m);
  }
  layout.NumChn = live.NumChn;
  live.MaxMultiFreq = layout.MaxMultiFreq;
}

void ComputeChannelLayout(LiveConfig& live, SampleLayout& layout, int32_t cardMaxSwitchChannels,
                          bool temporaryConfig, const std::function<float(int32_t, int32_t)>& channelFrq) {
  const int32_t analog = AnalogCount(live);
  live.NumVChn = analog + SwitchWords(live);
  if (cardMaxSwitchChannels != 0 && live.BegChn != live.Analog_Num) live.BegChn = live.Analog_Num;
  int64_t words = SwitchWords(live);
  for (int32_t c = 0; c < analog; ++c) words += std::max(live.AnalogChannelTable[c].MultiFreq, 1);
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
