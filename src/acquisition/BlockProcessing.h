#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "acquisition/ContinuousSave.h"
#include "acquisition/SaveWriter.h"
#include "acquisition/ScheduleSave.h"
#include "common/AppState.h"

namespace quelvar {

struct BlockReporter {
  std::function<void(const std::string&)> runLog;
  std::function<size_t()> runLogLength;
  std::function<void()> clearRunLog;
  std::function<void(const std::string&)> elapsedTime;
  std::function<void(int panel, const std::string&)> statusPanel;
  // Completes the record described by the record state (file and history).
  std::function<void()> finishFaultRecord;
  // The recorder's continuous saving, when the window has one.
  ContinuousSave* continuousSaver = nullptr;
  // Scheduled saving, and the (absolute) directory its files go to.
  ScheduleSaveObj* scheduleSaver = nullptr;
  std::string saveDirectory{};
  // Whether the live display is on (menuMonitor checked), asked after the
  // block is stored: a record completed meanwhile may have turned it off.
  std::function<bool()> liveDisplay{};
  // A status message for the message panel (shown at the next interface tick).
  std::function<void(const std::string&)> postStatus{};
  // Writes the savers' files off the calling thread; without one they are
  // written at once, inside the block's processing.
  SaveWriter* saveWriter = nullptr;
  // The composite value panel, while it is shown: the block (sequence word
  // first) after its elapsed time is reported.
  std::function<void(const uint16_t* block)> compositeValues{};
};

// What a saving report means for the run: a continuous append that failed
// gives its run-log line, a scheduled file that could not be created frees
// its slot.
void HandleSaveReport(const SaveReport& report, const std::function<void(const std::string&)>& runLog,
                      ScheduleSaveObj* schedules);

// The elapsed-acquisition text: "1d 2h 3m 4s", "共2h 3m 4s" or "采样3m 4s".
std::string ElapsedTimeText(int64_t seconds);

// Takes the block in CurrentBlock: checks its sequence word for lost blocks,
// reports the elapsed time, applies the flood guard, runs the trigger
// detectors, stores the block in the recorder ring and moves the fault
// record along (start, post-trigger and compressed blocks, completion).
// Nothing while idle.
void ProcessBlock(AppState& state, double now, const BlockReporter& report);

}  // namespace quelvar
