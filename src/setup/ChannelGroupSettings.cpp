#include "setup/ChannelGroupSettings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "common/ConfigBounds.h"
#include "common/NumberFormat.h"
#include "setup/DialogNumbers.h"
#include "view/DisplayLayout.h"

namespace quelvar {

namespace {

ChannelGroupRefusal Refuse(std::string text, std::string caption) { return {std::move(text), std::move(caption)}; }

// The analog count beyond which no line or channel record exists.
constexpr int32_t kMaxAnalogCount = std::min(kMaxLines, kMaxAnalogChannels);

}  // namespace

ChannelGroupRefusal NotAnIntegerRefusal(std::string_view field, std::string_view text) {
  return {FieldNotAnIntegerMessage(field, text), kNotANumberCaption, platform::MsgButtons::Ok};
}

std::optional<int32_t> TotalPagesFromText(std::string_view text) {
  const std::optional<int32_t> pages = ParseDialogInteger(text);
  if (!pages) return std::nullopt;
  return std::clamp(*pages, 1, kMaxPredefinedPages);
}

ChannelGroupRefusal ApplyChannelGroupFields(const ChannelGroupFields& f, const DriverState& driver, LiveConfig& live) {
  // Clamped before narrowing: a huge text must not overflow the float.
  const float acFrq =
      f.ACFrq ? static_cast<float>(
                    std::clamp(ParseDialogReal(*f.ACFrq).value_or(50.0), double{kMinACFrq}, double{kMaxACFrq}))
              : live.ACFrq;
  float envTempValue = live.EnvTemp;
  if (f.EnvTemp) {
    const std::optional<double> envTemp = ParseDialogReal(*f.EnvTemp);
    envTempValue = envTemp && std::abs(*envTemp) <= double{std::numeric_limits<float>::max()}
                       ? static_cast<float>(*envTemp)
                       : 20.0f;
  }
  const std::optional<int32_t> pages = TotalPagesFromText(f.TotalPages);
  if (!pages) return NotAnIntegerRefusal(kTotalPagesLabel, f.TotalPages);

  const std::optional<int32_t> analog = ParseDialogInteger(f.Analog);
  if (!analog) return NotAnIntegerRefusal(kAnalogCountLabel, f.Analog);
  if (*analog > kMaxAnalogCount) return Refuse("模拟通道数超过了 " + std::to_string(kMaxAnalogCount), "不允许退出");
  const int32_t a = *analog;
  const int32_t g = std::max(a, 0);
  // A negative count never matches the lines' channel total.
  int64_t phaseSum = 0;
  for (int j = 0; j < g; ++j) phaseSum += live.LineTable[j].APhaseNum;
  if (a < 0 || phaseSum != a) return Refuse("模拟通道线路配置错误!", "不允许退出");

  // The grouping is checked on copies: nothing is written until all passes.
  std::array<int32_t, kMaxAnalogChannels> groupNo{};
  for (int i = 0; i < a; ++i) groupNo[i] = std::clamp(live.AnalogChannelTable[i].ChnGroupNo, 0, std::max(g - 1, 0));
  std::array<std::array<uint8_t, 4>, kMaxLines> groupTag{};
  for (int j = 0; j < g; ++j) {
    const AnalConfig& line = live.LineTable[j];
    groupTag[j] = line.GroupTag;
    int32_t count = 0;
    for (int i = 0; i < a; ++i) {
      if (groupNo[i] != j) continue;
      if (count >= line.APhaseNum) return Refuse("组" + std::to_string(j) + "通道太多!", "通道分组错误");
      // The line's channel list: one byte per entry from GroupTag on, as far
      // as the record has room.
      if (count < static_cast<int32_t>(groupTag[j].size())) groupTag[j][count] = static_cast<uint8_t>(i);
      ++count;
    }
    if (count != line.APhaseNum) return Refuse("组" + std::to_string(j) + "通道太少!", "通道分组错误");
  }

  const std::optional<int32_t> binary = ParseDialogInteger(f.Binary);
  if (!binary) return NotAnIntegerRefusal(kSwitchCountLabel, f.Binary);
  // A negative count means none.
  const int32_t switches = std::clamp<int32_t>(*binary, 0, kMaxSwitchInputs);
  if (driver.DriverUsable == 1 && switches > driver.CardMaxSwitchChannels) {
    return Refuse("采集卡不支持这么多开关量通道!", "不允许退出");
  }
  const int32_t switchWords = (switches + 15) / 16;
  const int32_t numVChn = a + switchWords;
  if (driver.CardMaxChannels < numVChn) {
    return Refuse("AD板总通道数超过了 " + std::to_string(driver.CardMaxChannels), "不允许退出");
  }
  int64_t words = switchWords;
  for (int i = 0; i < a; ++i) words += ClampMultiFreq(live.AnalogChannelTable[i].MultiFreq);
  // A longer row would be refused at the next start and in a saved configuration file.
  if (words > kMaxRowWords) {
    return Refuse("每行采样字数(各通道频率加快倍数之和加开关量字数)超过了 " + std::to_string(kMaxRowWords),
                  "不允许退出");
  }

  live.ACFrq = acFrq;
  live.EnvTemp = envTempValue;
  live.TotalPages = *pages;
  for (int i = 0; i < a; ++i) live.AnalogChannelTable[i].ChnGroupNo = groupNo[i];
  for (int j = 0; j < g; ++j) live.LineTable[j].GroupTag = groupTag[j];
  live.SW_Num = switches;
  live.NumVChn = numVChn;
  if (driver.CardMaxSwitchChannels != 0) live.BegChn = a;
  live.Total_Line = g;
  live.Analog_Num = a;
  live.NumChn = SaturateToInt32(words);
  return {};
}

int32_t SampPerPeriodFromText(float channelRate, std::string_view acFrqText) {
  const double f = ParseDialogReal(acFrqText).value_or(50.0);
  const double whole = std::trunc(std::min(f, double{kMaxACFrq}));
  if (whole >= 1.0) return SamplesPerCycleOf(channelRate, static_cast<float>(whole));
  return SamplesPerCycleOf(channelRate, static_cast<float>(std::max(f, double{kMinACFrq})));
}

std::string EnvTempHint(std::string_view envTempText, const LiveConfig& live) {
  const std::string prefix = "<=-100时用室温探头:";
  const double t = ParseDialogReal(envTempText).value_or(20.0);
  if (t > -100.0) return prefix + "?";
  const double c = std::trunc(-t - 100.0);
  const int32_t count = std::clamp(live.Analog_Num, 0, kMaxAnalogChannels);
  if (c < count) return prefix + live.AnalogChannelTable[static_cast<size_t>(c)].ChnName;
  return prefix + "?";
}

int32_t MultiFreqModeOf(int32_t tempConfigActive, bool driverSetsMultiFreq, int32_t maxMultiFreq) {
  if (tempConfigActive == 0 && driverSetsMultiFreq) return 1;
  if (tempConfigActive == 1 && maxMultiFreq > 1) return 1;
  return 0;
}

}  // namespace quelvar
