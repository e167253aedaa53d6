#pragma once

#include <string>
#include <vector>

#include "common/HistoryRecord.h"
#include "common/LiveConfig.h"
#include "common/SampleLayout.h"

namespace quelvar {

// The lines printed about the trigger algorithm that started `record`: its
// number, name and type, the channels and thresholds it used, and the
// record times it asked for beside those the record holds (ms at the
// fastest channel's rate). An algorithm number outside the table gives
// "但算法号不再有效！" instead of the details; channel, threshold and type
// numbers outside their tables give empty names, never a read past them.
std::vector<std::string> TriggerAlgorithmReport(const LiveConfig& config, const SampleLayout& layout,
                                                const HistoryRecord& record);

}  // namespace quelvar
