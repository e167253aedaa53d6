#pragma once

#include <array>
#include <cstdint>

#include "common/BinaryLayouts.h"

namespace quelvar {

// Per schedule, for one recorder run: its length and backup interval in
// blocks, and when its period last ended (day count, 0 = not yet).
struct ScheduleState {
  int32_t BlockLimit = 0;
  int32_t BackupBlocks = 0;
  double LastTime = 0.0;
};

// The schedules of a run and the time of the previous block's check (day
// count, 0 after a reset).
struct ScheduleRunState {
  std::array<ScheduleState, kScheduleEntries> States{};
  double PrevTime = 0.0;
};

}  // namespace quelvar
