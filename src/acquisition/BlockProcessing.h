#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/AppState.h"

namespace quelvar {

struct BlockReporter {
  std::function<void(const std::string&)> runLog;
  std::function<size_t()> runLogLength;
  std::function<void()> clearRunLog;
  std::function<void(const std::string&)> elapsedTime;
};

// The elapsed-acquisition text: "1d 2h 3m 4s", "共2h 3m 4s" or "采样3m 4s".
std::string ElapsedTimeText(int64_t seconds);

// Takes the block in CurrentBlock: checks its sequence word for lost blocks,
// reports the elapsed time and stores its rows in the recorder ring. (Trigger
// detection and the fault records build on this.) Nothing while idle.
void ProcessBlock(AppState& state, double now, const BlockReporter& report);

}  // namespace quelvar
