#include "common/ConfigBounds.h"

#include <algorithm>
#include <cmath>

namespace quelvar {

int32_t SamplesPerCycleOf(float channelRate, float acFrq) {
  const double samples = static_cast<double>(channelRate) / static_cast<double>(acFrq);
  // NaN (0/0, a NaN field) fails both tests and gives 1, as does a negative ratio.
  if (!(samples >= 1.0)) return 1;
  if (!(samples < kMaxSamplesPerCycle)) return kMaxSamplesPerCycle;
  return static_cast<int32_t>(samples);
}

int32_t ClampMultiFreq(int32_t multiFreq) { return std::clamp(multiFreq, 1, kMaxMultiFreq); }

bool ACFrqInRange(float acFrq) { return acFrq >= kMinACFrq && acFrq <= kMaxACFrq; }

}  // namespace quelvar
