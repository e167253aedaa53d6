#pragma once

#include <functional>
#include <string>

#include "common/AppState.h"

namespace quelvar {

// The first steps of the trigger-algorithm preparation: every algorithm's
// input channels must exist, and the peak-above and valley-below algorithms
// (types 1 and 2) get their threshold as an absolute AD code. Arms threshold
// triggering when one exists. False (having logged why) when a channel is
// not configured.
bool PrepareThresholdTriggers(AppState& state, const std::function<void(const std::string&)>& runLog);

}  // namespace quelvar
