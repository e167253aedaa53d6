#include "view/MarkReadout.h"

#include <algorithm>
#include <cstdlib>

#include "common/NumberFormat.h"
#include "common/TextUtil.h"
#include "view/MarkPoints.h"

namespace quelvar {

namespace {

// The frequency is written in fixed notation with 2 decimals and at most 7
// significant digits, the voltages with 7 significant digits as well.
constexpr int kReadoutPrecision = 7;
// The plot height stands for 10 V at gain 1.
constexpr double kPlotVolts = 10.0;

// Volts between the two level lines at `gain`.
double LevelVolts(const WaveViewState& view, const MarkPlot& plot, double gain) {
  const double rows = std::llabs(int64_t{view.Mark1Y} - view.Mark2Y);
  // A plot of one row or none (a paint box hardly taller than its margins)
  // counts as one row high rather than dividing by zero.
  const double height = std::max(plot.H - 1.0, 1.0);
  return rows * kPlotVolts / (height * gain);
}

}  // namespace

int64_t MarkTimeIndex(const DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq, int64_t windowIndex) {
  return MapMarkPoint(display, numSamp, maxMultiFreq, windowIndex).TimeIndex;
}

std::string TimeDifferenceText(const std::string& prefix, int64_t n, float rate) {
  return prefix + "△T=" + FormatTimeSpan(static_cast<double>(n) / rate) + " (" + std::to_string(n) + "点);" +
         "△f=" + FormatFixed(static_cast<double>(rate) / static_cast<double>(n), kReadoutPrecision, 2) + "Hz";
}

std::string MarkReadoutText(const WaveViewState& view, const MarkPlot& plot, const MarkReadoutInput& input) {
  const DisplayDescriptor& d = *input.Display;
  const auto timeIndex = [&](int32_t mark) {
    return MarkTimeIndex(d, input.NumSamp, input.MaxMultiFreq, int64_t{view.XPosition} + mark - 1);
  };
  int64_t n = std::llabs(timeIndex(view.Mark1X) - timeIndex(view.Mark2X));
  if (n == 0) n = 1;
  std::string text = TimeDifferenceText("两标线时差", n, input.MaxChannelRate);
  const ViewOptions& o = view.Options;
  if (o.ViewV && view.DrawnRows == 1 && !o.ViewSwitch) {
    text += ", AD电压差=" + FormatFixed(LevelVolts(view, plot, view.YZoom), kReadoutPrecision, 4) + "V";
  }
  return text;
}

std::string OscMarkReadoutText(const WaveViewState& view, const MarkPlot& plot, const OscilToolSettings& oscil,
                               int32_t analogNum, float maxChannelRate) {
  std::string text;
  if (oscil.MeasTime != 0) {
    // The oscilloscope's block has no compressed part: screen points are
    // samples.
    int64_t n = std::llabs(int64_t{view.Mark1X} - view.Mark2X);
    if (n == 0) n = 1;
    text += TimeDifferenceText("时差", n, maxChannelRate);
  }
  if (oscil.MeasVolt != 0) {
    const bool bothTraces = oscil.UseChn1 != 0 && oscil.UseChn2 != 0;
    if (analogNum != 1 && bothTraces && oscil.YZoom1 != oscil.YZoom2) {
      text += " AD电压差=" + FormatFixed(LevelVolts(view, plot, oscil.YZoom1), kReadoutPrecision, 3) + "," +
              FormatFixed(LevelVolts(view, plot, oscil.YZoom2), kReadoutPrecision, 3) + "V";
    } else {
      const int32_t gain = oscil.UseChn1 != 0 ? oscil.YZoom1 : oscil.YZoom2;
      text += " AD电压差=" + FormatFixed(LevelVolts(view, plot, gain), kReadoutPrecision, 4) + "V";
    }
  }
  return text;
}

}  // namespace quelvar
