#include "view/RowScale.h"

#include <cmath>

#include "common/NumberFormat.h"
#include "view/EngineeringUnits.h"
#include "view/WaveTraces.h"

namespace quelvar {

namespace {

// Digits of a scale value: enough that no code or engineering value of the
// card's range turns scientific.
constexpr int kScaleValueDigits = 15;

// The gain a code value is divided by: the pre-amplifier gain, for counters
// further divided by the channel rate and multiplied by the amplifier gain.
// Whatever the settings, never 0, negative or not finite.
double CodeDivisor(const LiveConfig& config, const AnalogChannel& channel) {
  double g = EffectivePreAmp(channel.ChnPreAmp);
  const int16_t ampGain = static_cast<int16_t>(config.AmpGain);  // stored unsigned, meant signed
  if (channel.ChnIDDC == kChannelCounter && ampGain > 0 && config.ChannelRate > 0.0f) {
    g = g / config.ChannelRate * ampGain;
  }
  return std::isfinite(g) && g > 0.0 ? g : 1.0;
}

}  // namespace

RowScaleTexts AnalogScaleTexts(const LiveConfig& config, const TorqueTables& torque, const AnalogChannel& channel,
                               const WaveViewState& view, bool plainVolts) {
  AnalogChannel c = channel;
  std::string unit = c.ChnUnits;
  if (plainVolts) {
    unit = "v";
    c.ChnCoeA = 0.0f;
    c.ChnCoeB = 1.0f;
  }
  const bool codes = c.ChnIDDC == kChannelCounter || c.ChnIDDC == kChannelRawCode;
  const double division = 2.0 / (view.YZoom >= 1 ? view.YZoom : 1);
  const bool dc = view.IDDC == 1;
  // Prefixes of the upper and lower values: an AC display counts from the mean.
  const std::string up = dc ? "" : "Y0+";
  const std::string down = dc ? "" : "Y0";
  double centre = 0.0;
  if (dc) {
    centre = view.YOffset * division;
  } else {
    centre = codes ? -5.0 : 0.0;
    c.ChnCoeA = 0.0f;
  }

  const auto text = [&](double volts) {
    if (codes) {
      const double value = (volts + 5.0) * config.ADMax * 0.1 / CodeDivisor(config, c) * c.ChnCoeB + c.ChnCoeA;
      return FormatFixed(value, kScaleValueDigits, 0);
    }
    return FormatFixed(VoltsToEngineering(config, torque, c, volts), kScaleValueDigits, 3);
  };
  return {up + text(centre + division) + unit, up + text(centre + 2 * division) + unit,
          down + text(centre - division) + unit, down + text(centre - 2 * division) + unit};
}

}  // namespace quelvar
