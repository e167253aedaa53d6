#include "setup/ChannelGroupSettings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"

namespace quelvar {

namespace {

// A whole number as the dialog reads it; nullopt-like `ok` false for text
// that is not one.
int64_t ParseInteger(const std::string& text, bool& ok) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  ok = !text.empty() && end != text.c_str() && *end == '\0' && errno == 0;
  return ok ? v : 0;
}

double ParseReal(const std::string& text, double fallback) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || end == text.c_str() || *end != '\0' || !std::isfinite(v)) return fallback;
  return v;
}

ChannelGroupRefusal Refuse(std::string text, std::string caption) { return {std::move(text), std::move(caption)}; }

}  // namespace

ChannelGroupRefusal ApplyChannelGroupFields(const ChannelGroupFields& f, const DriverState& driver, LiveConfig& live) {
  bool ok = false;
  // Clamped before narrowing: a huge text must not overflow the float.
  live.ACFrq = static_cast<float>(std::clamp(ParseReal(f.ACFrq, 50.0), double{kMinACFrq}, double{kMaxACFrq}));
  live.EnvTemp = static_cast<float>(ParseReal(f.EnvTemp, 20.0));
  const int64_t pages = ParseInteger(f.TotalPages, ok);
  live.TotalPages = ok && pages > 0 ? SaturateToInt32(pages) : 1;

  // A count the lines cannot hold (more than 100, negative, not a number)
  // never matches their channel total and is refused here.
  const int64_t analog = ParseInteger(f.Analog, ok);
  const int64_t requested = ok ? analog : -1;
  const int32_t g = static_cast<int32_t>(std::clamp<int64_t>(requested, 0, kMaxLines));
  int64_t phaseSum = 0;
  for (int j = 0; j < g; ++j) phaseSum += live.LineTable[j].APhaseNum;
  if (requested < 0 || phaseSum != requested) return Refuse("模拟通道线路配置错误!", "不允许退出");
  const int32_t a = static_cast<int32_t>(requested);

  for (int j = 0; j < g; ++j) {
    AnalConfig& line = live.LineTable[j];
    int32_t count = 0;
    for (int i = 0; i < a; ++i) {
      AnalogChannel& c = live.AnalogChannelTable[i];
      c.ChnGroupNo = std::clamp(c.ChnGroupNo, 0, g - 1);
      if (c.ChnGroupNo != j) continue;
      if (count >= line.APhaseNum) return Refuse("组" + std::to_string(j) + "通道太多!", "通道分组错误");
      // The line's channel list: one byte per entry from GroupTag on.
      if (count < static_cast<int32_t>(line.GroupTag.size())) line.GroupTag[count] = static_cast<uint8_t>(i);
      ++count;
    }
    if (count != line.APhaseNum) return Refuse("组" + std::to_string(j) + "通道太少!", "通道分组错误");
  }

  // Text that is not a number keeps the count; a negative one means none.
  const int64_t binary = ParseInteger(f.Binary, ok);
  if (ok) live.SW_Num = static_cast<int32_t>(std::clamp<int64_t>(binary, 0, kMaxSwitchInputs));
  if (driver.DriverUsable == 1 && live.SW_Num > driver.CardMaxSwitchChannels) {
    return Refuse("采集卡不支持这么多开关量通道!", "不允许退出");
  }
  const int32_t switchWords = (live.SW_Num + 15) / 16;
  live.NumVChn = a + switchWords;
  if (driver.CardMaxChannels < live.NumVChn) {
    return Refuse("AD板总通道数超过了 " + std::to_string(driver.CardMaxChannels), "不允许退出");
  }
  if (driver.CardMaxSwitchChannels != 0) live.BegChn = a;
  live.Total_Line = g;
  live.Analog_Num = a;
  int64_t words = switchWords;
  for (int i = 0; i < a; ++i) words += ClampMultiFreq(live.AnalogChannelTable[i].MultiFreq);
  live.NumChn = SaturateToInt32(words);
  return {};
}

}  // namespace quelvar
