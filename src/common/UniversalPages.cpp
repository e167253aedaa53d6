#include "common/UniversalPages.h"

#include <algorithm>

namespace quelvar {

UniversalPageRecord ValidUniversalPage(int32_t analogCount, int32_t switchCount,
                                       std::span<const int32_t> channels, int32_t analogNum, int32_t switchNum) {
  analogNum = std::clamp(analogNum, 0, kMaxAnalogChannels);
  switchNum = std::clamp(switchNum, 0, kMaxSwitchInputs);
  const auto stored = static_cast<int64_t>(channels.size());
  const auto at = [&](int64_t i) { return i >= 0 && i < stored ? channels[static_cast<size_t>(i)] : 0; };

  UniversalPageRecord page;
  const int32_t analog = std::clamp(analogCount, 0, analogNum);
  for (int32_t i = 0; i < analog; ++i) page.Channels[static_cast<size_t>(i)] = std::clamp(at(i), 0, analogNum - 1);
  int32_t listed = analog;
  const int64_t switchStart = std::max(analogCount, 0);
  const int32_t switches = std::clamp(switchCount, 0, switchNum);
  for (int32_t k = 0; k < switches && switchStart + k < stored; ++k) {
    page.Channels[static_cast<size_t>(listed++)] = std::clamp(at(switchStart + k), 0, switchNum - 1);
  }
  page.AnalogCount = analog;
  page.SwitchCount = listed - analog;
  if (listed == 0 && analogNum > 0) {
    page.AnalogCount = 1;
    page.Channels[0] = std::clamp(at(0), 0, analogNum - 1);
  }
  return page;
}

}  // namespace quelvar
