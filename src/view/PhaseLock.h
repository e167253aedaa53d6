#pragma once

#include <cstdint>

#include "common/DisplayData.h"
#include "common/SampleLayout.h"
#include "common/WaveViewState.h"

namespace quelvar {

// What the oscilloscope aligns its screen on (OscilToolSettings.FixMode).
enum class PhaseLockMode : int32_t {
  None = 0,
  UpperVertex = 1,
  LowerVertex = 2,
  Rising = 3,   // rising through the level
  Falling = 4,  // falling through the level
};

// Where the phase lock searches: the display data and the number of analog
// channels (channels from there on are switch inputs).
struct PhaseLockData {
  const DisplayDescriptor* Display = nullptr;
  const SampleLayout* Layout = nullptr;
  int32_t NumSamp = 0;
  int32_t AnalogNum = 0;
};

// The first point from point 2 on where analog channel `channel` matches
// `mode` (at `level`, an AD code, for the level modes), so that the view
// still fits before the end of the data; 0 without a match. The search walks
// the channel's own samples (base word and, with multi-rate data, its extra
// sub-samples) and answers in display points: channel point q is display
// point q x MaxMultiFreq / rate. Every sample it compares lies inside the data.
int32_t PhaseLockPoint(const PhaseLockData& data, int32_t channel, PhaseLockMode mode, uint16_t level,
                       int32_t displayWidth);

// Sets view.XPosition to the phase-lock point of `channel`; a switch input
// (channel >= AnalogNum) leaves the view as it is.
void FindPhaseLockPoint(const PhaseLockData& data, int32_t channel, PhaseLockMode mode, uint16_t level,
                        WaveViewState& view);

}  // namespace quelvar
