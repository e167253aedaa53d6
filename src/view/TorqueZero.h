#pragma once

#include <cstdint>
#include <span>

#include "common/LiveConfig.h"
#include "common/SampleLayout.h"
#include "common/TorqueTables.h"

namespace quelvar {

enum class TorqueZeroOutcome {
  NoAcquisitionData,  // stored data or none on display, or no whole block in hand
  NoTorqueChannel,
  Zeroed,
};

// Zeroes the torque channels (types 10, 11, 12) on the latest block: each
// one's ChnCoeA becomes minus the mean of its engineering values (taken with
// ChnCoeA 0) over every sample of the block, base and extra sub-samples, so
// the same block then averages 0. `block` is the sequence word followed by
// NumSamp rows of layout.NumChn words. Changes nothing unless the view shows
// acquired data (`dataSourceMode` not 0) and the block is whole.
TorqueZeroOutcome ZeroTorqueChannels(LiveConfig& config, const TorqueTables& torque, const SampleLayout& layout,
                                     int32_t dataSourceMode, std::span<const uint16_t> block);

// The status text of an outcome.
const char* TorqueZeroMessage(TorqueZeroOutcome outcome);

}  // namespace quelvar
