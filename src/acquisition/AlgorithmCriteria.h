#pragma once

#include "common/AppState.h"

namespace quelvar {

// Tests the armed algorithms (types 3 to 22) at the evaluation point in row
// `row` of the new block against their prepared thresholds, with the
// confirmation count and, with IDPreventSameAlgorithm, the re-arm
// countdown. The first algorithm whose confirmation completes fills the
// trigger fields of the record state.
void TestAlgorithmsAtPoint(AppState& state, int32_t row);

}  // namespace quelvar
