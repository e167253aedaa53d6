#pragma once

#include "common/AppState.h"
#include "view/WaveformRenderer.h"

namespace quelvar {

// What the main window's screen picture is drawn from: the screen's label
// metrics, the view's scheme and scale divisions, line width 1 and colour,
// the channel scroll bar's maximum for the view's options and the
// acquisition's calendar time and the trigger-point search's findings. The
// pointers refer into `state`.
WaveformPaintInput ScreenWaveformInput(const AppState& state);

}  // namespace quelvar
