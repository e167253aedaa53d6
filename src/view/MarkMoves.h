#pragma once

#include <cstdint>

#include "common/DisplayData.h"
#include "common/OscilToolSettings.h"
#include "common/WaveViewState.h"
#include "view/MarkGeometry.h"

namespace quelvar {

// The mouse buttons the waveform's presses tell apart.
enum class MarkButton { Left, Right, Middle };

// Which cursor and which level line a press at screen point p and row y
// moves: each the nearer of the two, ties going to mark 1. They are chosen
// independently, so one drag may move mark 1's cursor and mark 2's level.
void PickNearerMarks(WaveViewState& view, int32_t p, int y);

// A press in the scale area of a predefined page (x already raised to L,
// y to T): picks the channel whose trace lies within half a text height of
// row y. The left button starts dragging it, the right button puts a moved
// trace back at its row (repainting only when it had moved). A page of
// fewer than two entries, or a press on no trace, does nothing.
void PressPageChannel(WaveViewState& view, const MarkPlot& plot, int32_t screenTextHeight, MarkButton button,
                      int y);

// Moves the dragged page channel so that its trace follows row y: its offset
// from its row's centre (analog rows weigh 2, switch rows 1) as a fraction of
// the plot height. Requests a repaint.
void DragPageChannel(WaveViewState& view, const MarkPlot& plot, int y);

// A press on the waveform. In page scope, outside the oscilloscope, a press
// on or left of the plot's left edge goes to the page channels; otherwise
// a press other than the right button picks the nearer marks and starts a
// mark drag. True when the marks were picked: the caller then moves them.
bool PressWaveform(WaveViewState& view, const DisplayDescriptor& display, const MarkPlot& plot,
                   int32_t screenTextHeight, MarkButton button, int x, int y);

// What moving a mark leaves for the window to do.
enum class MarkMoveResult {
  Nothing,         // no data on display
  RedrawMarks,     // the marks moved over an unchanged picture
  RepaintRequested,  // the oscilloscope magnifies between its time marks
};

// Moves cursor timeMark (0 mark 1, 1 mark 2) to column x and level line
// levelMark to row y (both raised to the plot's corner first). The
// oscilloscope moves a cursor only while its time lines are on and a level
// only while its volt lines are on.
MarkMoveResult MoveMarkState(WaveViewState& view, const DisplayDescriptor& display, const OscilToolSettings& oscil,
                             const MarkPlot& plot, int timeMark, int levelMark, int x, int y);

// A press on mark 1's or mark 2's value label: the left button steps the
// mark's cursor one point left and its level line one pixel up; then, for
// any button, the cursor is kept within 1 .. DisplayWidth.
void StepMarkFromLabel(WaveViewState& view, int mark, MarkButton button);

}  // namespace quelvar
