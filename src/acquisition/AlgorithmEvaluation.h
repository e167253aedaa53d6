#pragma once

#include "common/AppState.h"

namespace quelvar {

// The live trigger-algorithm engine for the block in CurrentBlock: tracks
// the frequency of the channels that need it, then steps through the block
// by half cycles, bringing the composite signals and every planned quantity
// up to date and, once enough continuous history exists, testing the
// algorithms (which may start a record). Must run once per block, in block
// order, while the prefix rows and the block form one matrix (the sequence
// word parked). Integer arithmetic on raw codes; nothing is allocated.
void EvaluateTriggerAlgorithms(AppState& state);

}  // namespace quelvar
