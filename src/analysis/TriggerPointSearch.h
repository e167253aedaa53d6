#pragma once

#include <string>
#include <vector>

#include "common/DisplayData.h"
#include "common/FoundTriggerPoints.h"
#include "common/LiveConfig.h"
#include "common/SampleLayout.h"

namespace quelvar {

// What the trigger-point search reports: the run-log entries in order (each
// one item of the log), the points found, and the status message when none
// was found (empty otherwise).
struct TriggerPointSearchResult {
  std::vector<std::string> runLog;
  FoundTriggerPoints found;
  std::string statusText;
};

// Runs every configured algorithm over the display data, point by point from
// the first display point to the last (DispPoints - 1, so records with
// faster channels are searched whole), and keeps for each the first point at
// which it fires, judged as the report at a point judges it. The time of a
// point is counted from the time origin at the fastest channel's rate
// (ChannelRate x MaxMultiFreq), a compressed tail at its own spacing, as the
// X axis counts it. `accurate`: the check mark of the accurate method, which
// only names the method in the log.
TriggerPointSearchResult SearchTriggerPoints(const LiveConfig& live, const SampleLayout& layout,
                                             const DisplayDescriptor& display, bool accurate);

}  // namespace quelvar
