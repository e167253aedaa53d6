#include "auxwin/OscilPanelRules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

#include "common/NumberFormat.h"

namespace quelvar {

namespace {

constexpr std::array<int32_t, 10> kGains = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return text;
}

std::optional<int64_t> WholeNumber(std::string_view text) {
  text = Trimmed(text);
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> RealNumber(std::string_view text) {
  text = Trimmed(text);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// A level code beyond the card's range falls back to the zero level.
int32_t LevelWithinCard(int32_t code, float adMax, float vZero) {
  if (code < 0 || code > adMax) return TruncToInt32(vZero);
  return code;
}

uint16_t StoredLevel(int32_t code) { return static_cast<uint16_t>(std::clamp(code, 0, 65535)); }

}  // namespace

OscilTraceFields TraceFields(OscilToolSettings& s, int trace) {
  if (trace == 2) return {s.ChnAD2, s.UseChn2, s.ACDC2, s.YOffset2, s.YZoom2, s.Neg2, s.ZoomStep2};
  return {s.ChnAd1, s.UseChn1, s.ACDC1, s.YOffset1, s.YZoom1, s.Neg1, s.ZoomStep1};
}

int32_t GainOfZoomStep(int32_t step) {
  if (step >= 1 && step <= static_cast<int32_t>(kGains.size())) return kGains[static_cast<size_t>(step - 1)];
  return kLargestGain;
}

int32_t ZoomStepOfGain(int32_t gain) {
  const auto at = std::find(kGains.begin(), kGains.end(), gain);
  return at == kGains.end() ? kZoomStepLast : static_cast<int32_t>(at - kGains.begin()) + 1;
}

std::string ZoomLabelText(int32_t gain) { return FormatFixed(2.0 / std::max(gain, 1), 5, 3); }

int32_t OffsetDivision(int32_t gain) { return std::max(1000 / std::max(gain, 1), 1); }

GainStepResult ApplyGainStep(OscilToolSettings& s, int trace, int32_t shownStep) {
  const OscilTraceFields t = TraceFields(s, trace);
  const bool autoScale = t.Coupling == kCouplingAutoScale;
  if (!autoScale) t.ZoomStep = shownStep;
  t.Gain = GainOfZoomStep(t.ZoomStep);
  return {ZoomLabelText(t.Gain), OffsetDivision(t.Gain), !autoScale};
}

GainStepResult ApplyPainterGainStep(OscilToolSettings& s, int trace) {
  const OscilTraceFields t = TraceFields(s, trace);
  t.Gain = GainOfZoomStep(t.ZoomStep);
  return {ZoomLabelText(t.Gain), OffsetDivision(t.Gain), false};
}

std::string OffsetHintText(int32_t position) { return "Y偏移=" + FormatFixed(position * 0.002, 7, 3) + "V"; }

OffsetResult ApplyOffset(OscilToolSettings& s, int trace, int32_t position) {
  TraceFields(s, trace).Offset = position;
  return {OffsetHintText(position), true};
}

int32_t OffsetMenuPosition(int32_t position, int32_t gain, int32_t divisions) {
  const int64_t d = OffsetDivision(gain);
  // Integer division truncates toward zero: an offset between divisions is
  // pulled toward the centre.
  const int64_t moved = d * ((int64_t{position} + divisions * d) / d);
  return static_cast<int32_t>(std::clamp<int64_t>(moved, -kOscilOffsetLimit, kOscilOffsetLimit));
}

std::string ChannelHintText(const LiveConfig& config, int32_t number) {
  if (number < config.Analog_Num) {
    const bool known = number >= 0 && number < kMaxAnalogChannels;
    return "AD通道:" + (known ? config.AnalogChannelTable[static_cast<size_t>(number)].ChnName : std::string());
  }
  const int32_t input = number - config.Analog_Num;
  const bool known = input >= 0 && input < kMaxSwitchInputs;
  return "SW通道:" + (known ? config.SwitchChannelTable[static_cast<size_t>(input)].SWName : std::string());
}

ChannelNumberResult ApplyChannelNumber(OscilToolSettings& s, int trace, std::string_view text, const LiveConfig& config) {
  const int64_t channels = int64_t{config.Analog_Num} + config.SW_Num;
  const int64_t typed = WholeNumber(text).value_or(0);
  const int32_t number = typed >= 0 && typed < channels ? static_cast<int32_t>(typed) : 0;
  TraceFields(s, trace).Channel = number;
  return {number, std::to_string(number), ChannelHintText(config, number), true};
}

void ApplyChannelStep(OscilToolSettings& s, int trace, int32_t number) { TraceFields(s, trace).Channel = number; }

std::string FixChnCaption(int32_t fixChn) { return fixChn == 1 ? "踪1" : "踪2"; }

FixChnResult ApplyFixChnRule(OscilToolSettings& s) {
  if (s.FixChn == 1) {
    if (s.UseChn2 != 0 || s.UseChn1 == 0) s.FixChn = 2;
  } else if (s.UseChn1 != 0 || s.UseChn2 == 0) {
    s.FixChn = 1;
  } else {
    s.FixChn = 2;  // a stray code counts as trace 2, as the caption shows it
  }
  return {FixChnCaption(s.FixChn), true};
}

TraceUseResult ApplyTraceUse(OscilToolSettings& s, int trace, bool ticked, bool otherTicked, int32_t analogNum) {
  TraceUseResult r;
  int32_t& use = TraceFields(s, trace).Use;
  if (trace == 2 && analogNum == 1) {
    use = 0;
    r.Ticked = false;
    r.Repaint = false;
    return r;
  }
  if (ticked) {
    use = 1;
  } else if (otherTicked) {
    use = 0;
  } else {
    use = 1;  // at least one trace stays on
  }
  r.Ticked = use != 0;
  if (use == 0) r.FixChnCaption = ApplyFixChnRule(s).Caption;
  return r;
}

int32_t NextCoupling(int32_t coupling) { return coupling >= 0 && coupling < 3 ? coupling + 1 : 0; }

std::string CouplingCaption(int32_t coupling) {
  static constexpr const char* kCaptions[] = {"交流", "直流", "接地", "自动"};
  return kCaptions[CouplingMenuItem(coupling)];
}

int32_t CouplingMenuItem(int32_t coupling) { return coupling >= 0 && coupling <= 2 ? coupling : kCouplingAutoScale; }

int32_t NextFixMode(int32_t mode) { return mode >= 0 && mode < 4 ? mode + 1 : 0; }

std::string FixModeCaption(int32_t mode) {
  static constexpr const char* kCaptions[] = {"无", "上顶点", "下顶点", "高于电平", "低于电平"};
  return kCaptions[mode >= 0 && mode <= 3 ? mode : 4];
}

std::string LevelVoltsText(int32_t code, float adMax, float vZero) {
  const double span = double{adMax} - double{vZero};
  if (span == 0.0) return "0.0000";
  return FormatFixed((code - double{vZero}) / span * 5.0, 7, 4);
}

FixVoltResult ApplyFixVoltPosition(OscilToolSettings& s, int32_t position, float adMax, float vZero) {
  const int32_t code = LevelWithinCard(TruncToInt32(double{adMax} - position), adMax, vZero);
  s.FixVolt = StoredLevel(code);
  return {position, LevelVoltsText(code, adMax, vZero), true};
}

FixVoltResult ApplyFixVoltText(OscilToolSettings& s, std::string_view text, float adMax, float vZero) {
  const double volts = RealNumber(text).value_or(0.0);
  const double span = double{adMax} - double{vZero};
  const int32_t code = LevelWithinCard(TruncToInt32(double{vZero} + volts * 0.2 * span), adMax, vZero);
  s.FixVolt = StoredLevel(code);
  return {TruncToInt32(double{adMax} - code), LevelVoltsText(code, adMax, vZero), true};
}

int32_t RefreshPeriodOfText(std::string_view text) {
  const int64_t value = WholeNumber(text).value_or(0);
  if (value <= 0) return kDefaultRefreshPeriod;
  return static_cast<int32_t>(std::min<int64_t>(value, INT32_MAX));
}

}  // namespace quelvar
