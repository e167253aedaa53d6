#pragma once

#include <functional>
#include <string>

#include "common/AppState.h"

namespace quelvar {

// Where the start preparation reports: run-log lines, status texts and
// message boxes (text, caption).
struct StartReporter {
  std::function<void(const std::string&)> runLog;
  std::function<void(const std::string&)> status;
  std::function<void(const std::string&, const std::string&)> messageBox;
  std::function<void(int panel, const std::string&)> statusPanel;
  // Re-derives the views' layout for the new ring (none in tests).
  std::function<void()> displayLayout = nullptr;
};

// Prepares a run after the layout has been computed: checks, trigger
// enables, samples per cycle, the block buffer with its history prefix, the
// recorder ring and the network buffers. `recorderRun` is true for the
// recorder's start (a ring of MaxBlock blocks), false for the oscilloscope
// (one block). Returns false, having reported why, when the run must not
// start.
bool PrepareStart(AppState& state, bool recorderRun, const StartReporter& report);

}  // namespace quelvar
