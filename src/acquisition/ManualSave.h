#pragma once

#include "common/AppState.h"

namespace quelvar {

// The whole-buffer save: describes the whole recorder ring (oldest block
// first) as a manual record in the record state, with its compressed part
// and the start time of the time origin shown; the oscilloscope's one block
// when its picture is on display.
void DescribeWholeRing(AppState& state);

// The current-view save: describes the blocks that hold the range the main
// view shows (whole blocks, from the one with its first point to the one
// with its last) as a manual record over the display data, with the start
// time of the first of them.
void DescribeCurrentView(AppState& state);

}  // namespace quelvar
