#include "acquisition/SampleLayoutCheck.h"

#include <cstdint>

#include "common/LiveConfig.h"

namespace quelvar {

bool SampleLayoutIsConsistent(const SampleLayout& layout) {
  if (layout.Analog_Num < 0 || layout.Analog_Num > kMaxAnalogChannels) return false;
  if (layout.NumVChn < layout.Analog_Num || layout.NumVChn > kMaxVirtualChannels) return false;
  if (layout.NumChn < layout.NumVChn) return false;
  int64_t nextFree = layout.NumVChn;
  for (int32_t c = 0; c < layout.Analog_Num; ++c) {
    const int64_t m = layout.MultiFreqTable[c];
    const int64_t first = layout.ExtraSlotFirst[c];
    const int64_t last = layout.ExtraSlotLast[c];
    if (m < 1 || first < nextFree || last != first + m - 1 || last > layout.NumChn) return false;
    nextFree = last;
  }
  return true;
}

}  // namespace quelvar
