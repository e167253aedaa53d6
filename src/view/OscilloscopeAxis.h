#pragma once

#include <cstdint>
#include <string>

#include "platform/Canvas.h"
#include "view/XAxis.h"

namespace quelvar {

// The oscilloscope's X axis over the view's points XPosition ..
// XPosition + DisplayWidth - 1, counted from `origin` (XPosition, or 0 for
// absolute time). Uses the plot, grid flags, ScaleCount and Layout (the
// fastest channel's rate) of `input`; the pen and font are the caller's.

// Round times: a step of (t1 - t0) / (2 ScaleCount) raised to 0.2, 0.4, 0.6,
// 0.8 or 1 times a power of ten, labels in s, ms or us, ten ticks a step.
// Nothing is drawn without a time span (no rate, one point).
void DrawOscilloscopeTimeAxis(platform::Canvas& canvas, const XAxisInput& input, int32_t xPosition,
                              int32_t displayWidth, int64_t origin);

// Round point counts: a label with its time every PointAxisSpacing points,
// minor ticks every tenth of it, longer ones every half.
void DrawOscilloscopePointAxis(platform::Canvas& canvas, const XAxisInput& input, int32_t xPosition,
                               int32_t displayWidth, int64_t origin);

// A point axis label: time `ms` in s from 10000 ms in magnitude (whole part),
// in us below 10 ms, else in ms.
std::string OscilloscopePointLabel(float ms);

}  // namespace quelvar
