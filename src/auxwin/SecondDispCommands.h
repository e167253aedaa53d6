#pragma once

// Rules of the second waveform window's commands and of its driving by the
// main window: the width its layout rebuild gives, the preset widths, the
// scroll bar's large step, the window one view hands to the other, and
// when the interface timer redraws it.

#include <cstdint>
#include <string>

#include "common/WaveViewState.h"
#include "view/XNavigation.h"

namespace quelvar {

// The width of X preset k: dispPoints / k, at least kMinXPointsPerScreen.
int32_t PresetDisplayWidth(int32_t dispPoints, int32_t k);

// The X scroll bar's large step: 90 % of the width, at most 65535.
int32_t XLargeStep(int32_t displayWidth);

// The points between a view's two marks, as the other window is to show
// them (not yet held within the data: the receiver does that).
XWindow MarksWindow(const WaveViewState& view);

// A window handed over from the other view: held within the data and at
// least kMinXWindowPoints wide, so a stale or foreign range can neither
// reach past the data nor leave a screen without a span. False (and the view
// unchanged) while no data are on display.
bool TakeXWindow(WaveViewState& view, const XWindow& window, int32_t dispValid, int32_t dispPoints);

// The interface timer redraws the second window at a tick only while data
// are on display, its request is set and it is shown.
bool SecondDispRedrawDue(int32_t dispValid, int32_t repaintRequested, int32_t visible);

// The points-per-screen answer of the input box: a whole number as typed,
// else the old count.
int32_t PointCountAnswer(const std::string& text, int32_t old);

// The main window's mark kinds and their parameters, which the second
// window's labels use as well.
void CopyMarkKinds(const WaveViewState& from, WaveViewState& to);

}  // namespace quelvar
