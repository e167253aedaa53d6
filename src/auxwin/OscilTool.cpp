#include "auxwin/OscilTool.h"

#include <algorithm>

#include "common/NumberFormat.h"
#include "platform/RegistryKey.h"

namespace quelvar {

namespace {

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

OscilTraceView PrepareTrace(OscilToolSettings& s, int trace, const LiveConfig& config) {
  const OscilTraceFields f = TraceFields(s, trace);
  OscilTraceView v;
  const ChannelNumberResult channel = ApplyChannelNumber(s, trace, std::to_string(f.Channel), config);
  v.ChannelText = channel.Text;
  v.ChannelHint = channel.Hint;
  v.CouplingItem = CouplingMenuItem(f.Coupling);
  v.CouplingCaption = CouplingCaption(f.Coupling);
  v.SignCaption = f.Negative ? "负" : "正";
  if (f.Offset < -kOscilOffsetLimit || f.Offset > kOscilOffsetLimit) f.Offset = 0;
  v.OffsetHint = ApplyOffset(s, trace, f.Offset).Hint;
  // The gain control is set to the gain's step and runs its rule: a gain the
  // table lacks becomes the last step's.
  f.ZoomStep = ZoomStepOfGain(f.Gain);
  const GainStepResult gain = ApplyGainStep(s, trace, f.ZoomStep);
  v.ZoomLabel = gain.Label;
  v.OffsetLargeStep = gain.OffsetLargeStep;
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

OscilPanelView PrepareOscilPanel(OscilToolSettings& s, const LiveConfig& config) {
  const int32_t analog = config.Analog_Num;
  const float adMax = config.ADMax;
  const float vZero = config.VZero;
  OscilPanelView v;
  if (s.Interval <= 0) s.Interval = kDefaultRefreshPeriod;
  v.SecondTraceEnabled = analog > 1;
  if (!v.SecondTraceEnabled) {
    s.UseChn1 = 1;
    s.UseChn2 = 0;
  } else if (s.UseChn1 == 0 && s.UseChn2 == 0) {
    s.UseChn1 = 1;  // one trace is always on
  }
  const int32_t channels = std::max(analog + config.SW_Num, 0);
  v.ChannelMax = channels - 1;
  if (s.ChnAd1 < 0 || s.ChnAd1 >= channels) s.ChnAd1 = 0;
  if (s.ChnAD2 < 0 || s.ChnAD2 >= channels) s.ChnAD2 = 0;
  if (s.ChnAd1 == s.ChnAD2) {
    s.ChnAD2 = s.ChnAd1 + 1;
    if (s.ChnAD2 >= channels) s.ChnAD2 = s.ChnAd1 - 1;
    if (s.ChnAD2 < 0) s.ChnAD2 = 0;
  }
  // Stray stored codes are shown as automatic range and "低于电平"; they are
  // made those codes, so the picture does what the panel shows.
  for (int32_t* coupling : {&s.ACDC1, &s.ACDC2}) {
    if (*coupling < 0 || *coupling > 3) *coupling = 3;
  }
  if (s.FixMode < 0 || s.FixMode > 4) s.FixMode = 4;
  v.Traces[0] = PrepareTrace(s, 1, config);
  v.Traces[1] = PrepareTrace(s, 2, config);
  if (analog == 1) s.FixChn = 1;
  if (s.FixChn != 1) s.FixChn = 2;  // what the caption shows
  // The lock stays off a trace that is off while the other is on.
  if (s.FixChn == 1 && s.UseChn1 == 0 && s.UseChn2 != 0) s.FixChn = 2;
  if (s.FixChn == 2 && s.UseChn2 == 0 && s.UseChn1 != 0) s.FixChn = 1;
  v.FixChnCaption = FixChnCaption(s.FixChn);
  v.FixModeCaption = FixModeCaption(s.FixMode);
  v.FixVoltMax = TruncToInt32(adMax);
  v.FixVoltLargeStep = TruncToInt32(adMax * 0.05);
  if (s.FixVolt > adMax) s.FixVolt = static_cast<uint16_t>(std::clamp(TruncToInt32(vZero), 0, 65535));
  v.FixVoltPosition = TruncToInt32(adMax - s.FixVolt);
  v.FixVoltText = ApplyFixVoltPosition(s, v.FixVoltPosition, adMax, vZero).Text;
  return v;
}

}  // namespace quelvar
