#pragma once

#include "common/LiveConfig.h"
#include "common/RecordState.h"
#include "common/WaveViewState.h"

namespace quelvar {

// The trigger page (page TotalPages + 1, entries from 2 x (Analog_Num +
// SW_Num)) of a triggered record: the switch input that fired, or the firing
// algorithm's input channels, its associated analog channels and its
// associated switch inputs, cut to Analog_Num + SW_Num entries (switch
// inputs go first). A manual record leaves the tables as they are.
//
// Nothing from the record is trusted: the algorithm's counts are taken
// within their arrays, channels that do not exist in the configuration are
// left out, and a trigger that names no existing algorithm or switch input
// leaves the page empty. Tables not built for this configuration (the
// page or its entries outside them) are not touched.
void BuildTriggerPage(PageTables& pages, const LiveConfig& live, const RecordState& record);

}  // namespace quelvar
