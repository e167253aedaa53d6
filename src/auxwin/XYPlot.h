#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/DisplayData.h"
#include "common/LiveConfig.h"
#include "common/OscilToolSettings.h"
#include "common/SampleLayout.h"
#include "common/WaveViewState.h"
#include "platform/Canvas.h"

namespace quelvar {

// The X-Y plot: analog channels of the main view drawn against each other
// over the samples the main view shows. Outside the two-trace oscilloscope
// the first analog channel the main view drew gives X and every further one
// a Y curve; in the oscilloscope trace 1 gives X and trace 2 gives Y.

inline constexpr const char* kXYNoAnalog = "没有模拟信号！";
inline constexpr const char* kXYTooFewChannels = "模拟通道数少于2";
inline constexpr const char* kXYRatesDiffer = "各通道采集频率不同！";

// What the plot reads; every pointer must be set.
struct XYPlotSource {
  const LiveConfig* Config = nullptr;
  const SampleLayout* Layout = nullptr;
  const DisplayDescriptor* Display = nullptr;
  const WaveViewState* View = nullptr;  // the main view, after its last paint
  const OscilToolSettings* Oscil = nullptr;
};

// The channels of a plot: X and the Y channels (analog channel numbers),
// with the colour keys of their curves and their common rate multiplier.
struct XYChannels {
  bool Ok = false;
  std::string Refusal;  // why there is nothing to plot, when not Ok
  bool Oscilloscope = false;
  int32_t X = 0;
  int32_t XKey = 0;
  std::vector<int32_t> Y;
  std::vector<int32_t> YKeys;
  int32_t Rate = 1;
};
XYChannels ChooseXYChannels(const XYPlotSource& source);

// The samples of a plot: the first sample and the count, in sub-samples of
// a channel at `rate` (the main view's range taken to that rate, kept
// within the data).
struct XYSampleRange {
  int64_t First = 0;
  int64_t Count = 0;
};
XYSampleRange XYSamplesOf(const WaveViewState& view, const DisplayDescriptor& display, int32_t rate,
                          int32_t maxMultiFreq);

// The codes of sample `first` + i of channels x and y, i = 0 .. count - 1,
// paired through the ring (its oldest block is display row 0). A sample
// whose word lies outside the row is left out.
struct XYCodePair {
  uint16_t X = 0;
  uint16_t Y = 0;
};
std::vector<XYCodePair> PairXYSamples(const DisplayDescriptor& display, const SampleLayout& layout, int32_t numSamp,
                                      int32_t x, int32_t y, int32_t rate, XYSampleRange range);

// What a drawing leaves: the plot rectangle, the scales in volts of card
// input and the channels, for the cross-hair and its readings.
struct XYPlotGeometry {
  bool Drawn = false;  // false: refused, Message says why
  std::string Message;
  int32_t PlotLeft = 0;
  int32_t PlotWidth = 1;
  int32_t PlotTop = 0;
  int32_t PlotHeight = 1;
  int32_t LineHeight = 0;  // the text line height h
  double XVoltsPerDiv = 2.0;
  double XCentreVolts = 0.0;
  double YVoltsPerDiv = 2.0;
  double YCentreVolts = 0.0;
  int32_t XChannel = 0;
  int32_t YChannel = 0;
};

struct XYDrawOptions {
  bool Colour = true;
  bool WhiteBackground = false;
  bool Scatter = false;
};

// The whole plot on the canvas, which it fills; the canvas's font is used.
XYPlotGeometry DrawXYPlot(platform::Canvas& canvas, const XYPlotSource& source, const XYDrawOptions& options);

// The background and the message at its top left (nothing to plot).
void DrawXYMessage(platform::Canvas& canvas, const std::string& message, bool whiteBackground);

// The engineering value of `volts` by the channel's linear coefficients.
double XYEngineeringValue(const AnalogChannel& channel, double volts);

// The cross-hair at (crossX, crossY), fractions of the plot from its centre,
// with the X and Y readings, in red over what the canvas shows.
void DrawXYCrossHair(platform::Canvas& canvas, const XYPlotGeometry& plot, const LiveConfig& config, double crossX,
                     double crossY);

// A mouse coordinate as a fraction of the plot from its centre, -0.5 .. 0.5.
double XYCrossFraction(int32_t mouse, int32_t plotStart, int32_t plotLength);

}  // namespace quelvar
