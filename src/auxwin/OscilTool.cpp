#include "auxwin/OscilTool.h"

#include <algorithm>

#include "common/NumberFormat.h"
#include "platform/RegistryKey.h"

namespace quelvar {

namespace {

constexpr int32_t kOffsetLimit = 2500;
constexpr std::array<int32_t, 10> kGains = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
constexpr int32_t kOtherGainStep = 11;

std::string KeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\OscilTool"; }

// The stored fields and their value names, in one place for both directions.
template <class Settings, class Visit>
void ForEachStored(Settings& s, Visit visit) {
  visit("Interval", s.Interval);
  visit("Topmost", s.Topmost);
  visit("ChnAd1", s.ChnAd1);
  visit("UseChn1", s.UseChn1);
  visit("ACDC1", s.ACDC1);
  visit("YOffset1", s.YOffset1);
  visit("YZoom1", s.YZoom1);
  visit("Neg1", s.Neg1);
  visit("ChnAD2", s.ChnAD2);
  visit("UseChn2", s.UseChn2);
  visit("ACDC2", s.ACDC2);
  visit("YOffset2", s.YOffset2);
  visit("YZoom2", s.YZoom2);
  visit("Neg2", s.Neg2);
  visit("FixChn", s.FixChn);
  visit("FixMode", s.FixMode);
  visit("MeasTime", s.MeasTime);
  visit("MeasVolt", s.MeasVolt);
}

OscilTraceView PrepareTrace(int32_t coupling, int32_t negative, int32_t& offset, int32_t& gain, int32_t& step) {
  OscilTraceView v;
  static constexpr const char* kCouplings[] = {"交流", "直流", "接地", "自动"};
  v.CouplingItem = coupling >= 0 && coupling <= 2 ? coupling : 3;
  v.CouplingCaption = kCouplings[v.CouplingItem];
  v.SignCaption = negative ? "负" : "正";
  if (offset < -kOffsetLimit || offset > kOffsetLimit) offset = 0;
  step = ZoomStepOfGain(gain);
  // An unlisted gain is kept as the number of its step, as the panel's
  // gain control knows it.
  if (step == kOtherGainStep) gain = kOtherGainStep;
  v.ZoomLabel = FormatFixed(2.0 / gain, 5, 3);
  v.OffsetLargeStep = std::max(1000 / gain, 1);
  return v;
}

}  // namespace

void LoadOscilToolSettings(platform::RegistryStore& store, const std::string& appKeyName, OscilToolSettings& s) {
  const platform::RegistryKey key(store, KeyPath(appKeyName));
  ForEachStored(s, [&](const char* name, int32_t& field) { field = key.ReadInteger(name).value_or(field); });
  if (const auto level = key.ReadInteger("FixVolt")) s.FixVolt = static_cast<uint16_t>(*level);
}

void SaveOscilToolSettings(platform::RegistryStore& store, const std::string& appKeyName, const OscilToolSettings& s) {
  platform::RegistryKey key(store, KeyPath(appKeyName));
  ForEachStored(s, [&](const char* name, const int32_t& field) { key.WriteInteger(name, field); });
  key.WriteInteger("FixVolt", s.FixVolt);
}

int32_t ZoomStepOfGain(int32_t gain) {
  const auto at = std::find(kGains.begin(), kGains.end(), gain);
  return at == kGains.end() ? kOtherGainStep : static_cast<int32_t>(at - kGains.begin()) + 1;
}

OscilPanelView PrepareOscilPanel(OscilToolSettings& s, int32_t analog, int32_t switches, float adMax, float vZero) {
  OscilPanelView v;
  v.SecondTraceEnabled = analog > 1;
  if (!v.SecondTraceEnabled) {
    s.UseChn1 = 1;
    s.UseChn2 = 0;
  }
  const int32_t channels = std::max(analog + switches, 0);
  v.ChannelMax = channels - 1;
  if (s.ChnAd1 < 0 || s.ChnAd1 >= channels) s.ChnAd1 = 0;
  if (s.ChnAD2 < 0 || s.ChnAD2 >= channels) s.ChnAD2 = 0;
  if (s.ChnAd1 == s.ChnAD2) {
    s.ChnAD2 = s.ChnAd1 + 1;
    if (s.ChnAD2 >= channels) s.ChnAD2 = s.ChnAd1 - 1;
    if (s.ChnAD2 < 0) s.ChnAD2 = 0;
  }
  v.Traces[0] = PrepareTrace(s.ACDC1, s.Neg1, s.YOffset1, s.YZoom1, s.ZoomStep1);
  v.Traces[1] = PrepareTrace(s.ACDC2, s.Neg2, s.YOffset2, s.YZoom2, s.ZoomStep2);
  if (analog == 1) s.FixChn = 1;
  v.FixChnCaption = s.FixChn == 1 ? "踪1" : "踪2";
  static constexpr const char* kModes[] = {"无", "上顶点", "下顶点", "高于电平", "低于电平"};
  v.FixModeCaption = kModes[s.FixMode >= 0 && s.FixMode <= 3 ? s.FixMode : 4];
  v.FixVoltMax = TruncToInt32(adMax);
  v.FixVoltLargeStep = TruncToInt32(adMax * 0.05);
  if (s.FixVolt > adMax) s.FixVolt = static_cast<uint16_t>(std::clamp(TruncToInt32(vZero), 0, 65535));
  v.FixVoltPosition = TruncToInt32(adMax - s.FixVolt);
  const double span = double{adMax} - double{vZero};
  v.FixVoltText = span != 0.0 ? FormatFixed((s.FixVolt - double{vZero}) * 5.0 / span, 7, 4) : "0.0000";
  return v;
}

}  // namespace quelvar
