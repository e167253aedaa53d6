#pragma once

#include <functional>
#include <string>

#include "common/AppState.h"

namespace quelvar {

// Turns the configured trigger algorithms into the engine's plan (state.plan):
// the quantities to compute per point, the composite three-phase signals,
// the channels whose frequency is tracked, each algorithm's operands and its
// set points in AD-code units. Peak and valley algorithms (types 1 and 2)
// get their threshold codes here too. The outcome is in state.acq:
// AnalogTriggerActive (1 = plan complete), ThresholdTriggerActive and
// NeedsCycleSampling; every refusal is explained in the run log.
void PrepareTriggerAlgorithms(AppState& state, const std::function<void(const std::string&)>& runLog);

// The node of (source, kind) in the plan, or -1.
int32_t FindMeasurement(const TriggerPlan& plan, int32_t source, int32_t kind);

}  // namespace quelvar
