#pragma once

#include "common/AppState.h"

namespace quelvar {

// The whole-buffer save: describes the whole recorder ring (oldest block
// first) as a manual record in the record state, with its compressed part
// and the start time of the time origin shown; the oscilloscope's one block
// when its picture is on display.
void DescribeWholeRing(AppState& state);

}  // namespace quelvar
