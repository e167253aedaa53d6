#pragma once

#include <array>
#include <cstdint>

#include "common/OscilToolSettings.h"
#include "common/WaveViewState.h"
#include "platform/Canvas.h"
#include "view/WaveformRenderer.h"

namespace quelvar {

// Whether the oscilloscope runs (RunState 2) and is paused (OscilPaused):
// only a screen paint of a running, unpaused oscilloscope moves the view to
// the phase-lock point.
struct OscilloscopeRun {
  bool Running = false;
  bool Paused = false;
};

// What the window must mirror after a paint.
struct OscilloscopePaintResult {
  // Per trace (1, 2): automatic range rewrote its gain, zoom step and offset
  // in the settings this paint, so the panel's gain up-down takes the zoom
  // step and its offset bar goes to 0.
  std::array<bool, 2> AutoRanged{};
  // The position the X scroll bar takes: the view's first shown point.
  int32_t XPosition = 0;
};

// The two-trace oscilloscope's picture of `view` on `canvas`, with the
// arguments of the waveform picture (`input`: screen or picture, line width,
// overlap points, fixed scale, WhiteBG row, scale count, colour): the
// background, the X axis in time or points, the division labels and lines,
// up to two traces with their sum and difference, and the frame. Writes the
// renderer outputs (DrawnAnalogCount, DrawnSwitchCount, DrawnChannels) and
// XPosition (phase lock, kept within the data) into `view`, and the gains of
// traces on automatic range into `settings`.
OscilloscopePaintResult PaintOscilloscope(platform::Canvas& canvas, const WaveformPaintInput& input,
                                          OscilToolSettings& settings, WaveViewState& view, OscilloscopeRun run);

}  // namespace quelvar
