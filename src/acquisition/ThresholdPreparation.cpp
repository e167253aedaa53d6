#include "acquisition/ThresholdPreparation.h"

#include <algorithm>
#include <cmath>

#include "common/NumberFormat.h"

namespace quelvar {

bool PrepareThresholdTriggers(AppState& state, const std::function<void(const std::string&)>& runLog) {
  const LiveConfig& c = state.config;
  const int32_t algorithms = std::clamp(c.Algorithm_Num, 0, kMaxAlgorithms);
  for (int32_t i = 0; i < algorithms; ++i) {
    const AlgorithmConfig& a = c.AlgorithmTable[i];
    for (int32_t j = 0; j < std::clamp(a.UsedChn, 0, kAlgorithmChannels); ++j) {
      if (a.Channel[j] < 0 || a.Channel[j] >= c.Analog_Num) {
        runLog("\r\n 错误: 启动算法" + std::to_string(i) + ",第" + std::to_string(j + 1) +
               "通道: " + std::to_string(a.Channel[j]) + " 非法!");
        return false;
      }
    }
  }
  bool any = false;
  bool others = false;
  for (int32_t i = 0; i < algorithms; ++i) {
    const AlgorithmConfig& a = c.AlgorithmTable[i];
    if (a.Type != 1 && a.Type != 2) {
      others = others || (a.Type >= 3 && a.Type <= 22);
      continue;
    }
    const int32_t ch = std::clamp(a.Channel[0], 0, kMaxAnalogChannels - 1);
    const AnalogChannel& channel = c.AnalogChannelTable[ch];
    // The set point as an absolute code: VZero + (v - A) x (ADMax - VZero) / (B x 5).
    const double b = channel.ChnCoeB;
    const double code = b != 0.0 ? c.VZero + (a.SetPoint[0] - channel.ChnCoeA) * (c.ADMax - c.VZero) / (b * 5.0)
                                 : (a.Type == 1 ? 65535.0 : 0.0);  // no scale: a threshold never crossed
    // A threshold beyond the 16-bit codes is one no sample can cross (peak)
    // or every sample is below (valley): clamp rather than wrap.
    state.triggers.ThresholdCode[i] = static_cast<uint16_t>(std::clamp<int64_t>(TruncToInt64(code), 0, 65535));
    any = true;
  }
  if (any) {
    state.acq.ThresholdTriggerActive = 1;
    runLog("\r\n 提示:有峰值或谷值启动算法!");
  }
  if (others) runLog("\r\n 提示：本版本只按峰值和谷值算法启动记录，其它类型的启动算法暂不起作用。");
  return true;
}

}  // namespace quelvar
