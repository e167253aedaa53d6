#pragma once

#include <cstdint>
#include <string>

#include "common/DisplayData.h"
#include "common/OscilToolSettings.h"
#include "common/WaveViewState.h"
#include "view/MarkGeometry.h"

namespace quelvar {

// The mark's position on the time axis, in display points at the fastest
// channel's rate, for window index i (XPosition + the mark's point - 1):
// i itself, or in a compressed part the middle of the samples its point
// stands for.
int64_t MarkTimeIndex(const DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq, int64_t windowIndex);

// "<prefix>△T=500ms (2400点);△f=2.00Hz" for n points (at least 1) at
// `rate` points per second.
std::string TimeDifferenceText(const std::string& prefix, int64_t n, float rate);

// What the recorder and history readout reads besides the view.
struct MarkReadoutInput {
  const DisplayDescriptor* Display = nullptr;
  int32_t NumSamp = 0;
  int32_t MaxMultiFreq = 1;
  float MaxChannelRate = 0.0f;
};

// The status text of the two marks: their time and frequency difference,
// and with level lines over exactly one analog row the voltage between the
// level lines (the plot height is 10 V at gain 1).
std::string MarkReadoutText(const WaveViewState& view, const MarkPlot& plot, const MarkReadoutInput& input);

// The oscilloscope's status text: the time difference with its time lines
// on, the voltage between its volt lines with those on (one value per trace
// when both traces show at different gains). Empty with neither on.
std::string OscMarkReadoutText(const WaveViewState& view, const MarkPlot& plot, const OscilToolSettings& oscil,
                               int32_t analogNum, float maxChannelRate);

}  // namespace quelvar
