#include "analysis/FilterSettings.h"

#include <algorithm>
#include <cmath>

#include "common/NumberFormat.h"
#include "platform/RegistryKey.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

std::string KeyPath(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\FilterSetting"; }

int32_t Choice(int32_t value, int32_t count) { return value >= 0 && value < count ? value : 0; }

int32_t ClampOrder(int32_t order) {
  if (order < 0) return 1;
  return std::min(order, kFilterOrderMax);
}

}  // namespace

FilterSetting ReadFilterSetting(platform::RegistryStore& store, const std::string& appKeyName) {
  FilterSetting s;
  const platform::RegistryKey key(store, KeyPath(appKeyName));
  s.FilterType = key.ReadInteger("FilterType").value_or(s.FilterType);
  s.FilterChnType = key.ReadInteger("FilterChnType").value_or(s.FilterChnType);
  s.FilterTimeType = key.ReadInteger("FilterTimeType").value_or(s.FilterTimeType);
  s.LowPassType = key.ReadInteger("LowPassType").value_or(s.LowPassType);
  s.LowPassOrder = key.ReadInteger("LowPassOrder").value_or(s.LowPassOrder);
  s.LowPassWindowType = key.ReadInteger("LowPassWindowType").value_or(s.LowPassWindowType);
  if (const auto v = key.ReadDouble("LowPassFrq")) {
    // A value beyond a float's range is no usable cut-off either.
    s.LowPassFrq = std::isfinite(*v) && std::abs(*v) <= 3.0e38 ? static_cast<float>(*v) : NAN;
  }
  s.IIRCoeA = key.ReadDouble("IIRCoeA").value_or(s.IIRCoeA);
  ClampFilterSetting(s);
  return s;
}

void WriteFilterSetting(platform::RegistryStore& store, const std::string& appKeyName, const FilterSetting& s) {
  platform::RegistryKey key(store, KeyPath(appKeyName));
  key.WriteInteger("FilterType", s.FilterType);
  key.WriteInteger("FilterChnType", s.FilterChnType);
  key.WriteInteger("FilterTimeType", s.FilterTimeType);
  key.WriteInteger("LowPassType", s.LowPassType);
  key.WriteInteger("LowPassOrder", s.LowPassOrder);
  key.WriteInteger("LowPassWindowType", s.LowPassWindowType);
  key.WriteDouble("LowPassFrq", s.LowPassFrq);
  key.WriteDouble("IIRCoeA", s.IIRCoeA);
}

void ClampFilterSetting(FilterSetting& s) {
  s.FilterType = Choice(s.FilterType, kFilterTypeCount);
  s.FilterChnType = Choice(s.FilterChnType, 3);
  s.FilterTimeType = Choice(s.FilterTimeType, 3);
  s.LowPassType = Choice(s.LowPassType, 2);
  s.LowPassOrder = ClampOrder(s.LowPassOrder);
  s.LowPassWindowType = Choice(s.LowPassWindowType, 5);
  if (!std::isfinite(s.LowPassFrq) || s.LowPassFrq < 0.0f) s.LowPassFrq = kFilterCutoffFallback;
  s.IIRCoeA = std::isnan(s.IIRCoeA) ? FilterSetting{}.IIRCoeA : std::clamp(s.IIRCoeA, 0.0, 1.0);
}

float CutoffFromEdit(std::string_view text, float last) {
  const std::optional<double> v = ParseDialogReal(text);
  if (!v) return last;
  if (*v < 0.0) return kFilterCutoffFallback;
  // Beyond a float's range the design takes half the rate anyway.
  return static_cast<float>(std::min(*v, 3.0e38));
}

int32_t OrderFromEdit(std::string_view text, int32_t last) {
  const std::optional<int32_t> v = ParseDialogInteger(text);
  return v ? ClampOrder(*v) : last;
}

double CoefficientFromEdit(std::string_view text, double last, bool& clamped) {
  clamped = false;
  const std::optional<double> v = ParseDialogReal(text);
  if (!v) return last;
  const double a = std::clamp(*v, 0.0, 1.0);
  clamped = a != *v;
  return a;
}

int32_t ChannelFromEdit(std::string_view text, int32_t analogNum) {
  const int32_t c = ParseDialogInteger(text).value_or(0);
  return std::clamp(c, 0, std::max(analogNum - 1, 0));
}

std::string CutoffText(double hz) { return FormatFixed(hz, 18, 2); }

std::string CoefficientText(double a) { return FormatGeneral(a, 7); }

std::string SampleRateText(double rate) { return "采样频率=" + FormatFixed(rate, 18, 2) + "Hz"; }

std::string ChannelHint(const std::string& channelName) { return "通道名称：" + channelName; }

double DesignCutoff(double cutoffHz, double rate) {
  if (!(cutoffHz >= 0.0)) cutoffHz = kFilterCutoffFallback;
  if (rate > 0.0 && cutoffHz > rate / 2.0) cutoffHz = rate / 2.0;
  return cutoffHz;
}

}  // namespace quelvar
