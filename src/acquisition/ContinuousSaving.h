#pragma once

#include <functional>
#include <string>

#include "acquisition/ContinuousSave.h"
#include "acquisition/SaveWriter.h"
#include "common/AppState.h"

namespace quelvar {

// The recorder's continuous saving of a whole run into one record file.

struct ContinuousSaveQuestion {
  std::string text;
  std::string caption;
};

// What the start asks before it saves: the file, the backup and the size
// and duration the run's EndBlock blocks will take.
ContinuousSaveQuestion AskContinuousSave(const AppState& state);

// What a continuous file of the run holds besides its blocks: the run's
// layout and configuration, files resolved in `directory` (absolute).
ContinuousSaveContent RunContent(const AppState& state, const std::string& directory);

// Opens `saver` for the run in `directory` (the save directory) with the
// run's layout and configuration; with a backup, copies are made every
// SafeSaveTime minutes of blocks. False when a file could not be created.
bool OpenContinuousSaving(const AppState& state, ContinuousSave& saver, const std::string& directory, double now);

// The run-log line that tells where the run is saved.
std::string ContinuousSaveStartLine(const AppState& state);

// The run-log line of an append that failed with `blocksWritten` blocks in the file.
std::string ContinuousFailureLine(int32_t blocksWritten);

// Per block while recording: offers `block` (CurrentBlock) to the saver
// through `writer`, with the run's data-gap mark. The first failure is
// reported (SaveReport::Kind::AppendFailed; it closes the saver); later
// blocks are not taken.
void AppendContinuousBlock(const AppState& state, ContinuousSave& saver, SaveWriter& writer, PendingBlock& block);

// The same, written at once: the first failure is logged with
// ContinuousFailureLine before this returns.
void AppendContinuousBlock(AppState& state, ContinuousSave& saver, const std::function<void(const std::string&)>& runLog);

// At the stop: closes the file (and completes its backup); the status text
// that tells how it went.
std::string CloseContinuousSaving(ContinuousSave& saver);

}  // namespace quelvar
