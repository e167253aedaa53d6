#pragma once

#include "common/AppState.h"

namespace quelvar {

// The switch-input start conditions over the rows of the current block,
// reading back into the history prefix for the rows before row 0 (the
// sequence word must be parked while this runs). Fills the trigger fields of
// the record state and sets Recording when an input fires; with
// IDPreventSameAlgorithm also keeps the hold of level inputs. Returns true
// when it fired.
bool DetectSwitchTriggers(AppState& state);

// The peak-above and valley-below algorithms (types 1 and 2) against their
// threshold codes at every display point of the block, with the
// confirmation count carried across blocks. Nothing while a record is
// collected. Returns true when one fired.
bool DetectThresholdTriggers(AppState& state);

// Look-back of the switch tests in rows: four for levels, eight for edges
// and changes (the row itself included).
int32_t SwitchLookBackRows(const LiveConfig& live);

}  // namespace quelvar
