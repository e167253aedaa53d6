#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/AppState.h"
#include "platform/UiHost.h"

namespace quelvar {

// The whole-buffer save: describes the whole recorder ring (oldest block
// first) as a manual record in the record state, with its compressed part
// and the start time of the time origin shown; the oscilloscope's one block
// when its picture is on display.
void DescribeWholeRing(AppState& state);

// The current-view save: describes the blocks that hold the range the main
// view shows (whole blocks, from the one with its first point to the one
// with its last) as a manual record over the display data, with the start
// time of the first of them.
void DescribeCurrentView(AppState& state);

// True when no block has entered the recorder ring since the last start
// prepared it (a start refused after its preparation leaves it so): there is
// nothing to save. The oscilloscope keeps rewriting block 0, so its ring
// counts as filled.
bool RingHoldsNothing(const AppState& state);

// What the user settled on for a manual save.
struct FileInfoChoice {
  std::string fileName;  // as typed; a name without a directory goes into the current one
  std::string comment;   // lines end in CR LF, as the record file keeps them
};

enum class ManualSaveKind { WholeBuffer, CurrentView };

enum class ManualSaveResult { Written, Cancelled, Declined, Refused, Failed };

struct ManualSaveOutcome {
  ManualSaveResult result = ManualSaveResult::Refused;
  std::string path;        // the file written or meant, absolute; empty before a name was given
  std::string statusText;  // what the status bar says
  std::string runLogLine;  // empty when nothing goes to the run log
};

// Asks the user for the file name and comment, proposing a name; nothing
// when the user cancels.
using AskFileInfoFn = std::function<std::optional<FileInfoChoice>(const std::string& proposedName)>;

// Writes the manual record the record state describes (from the ring, or
// for the current view from the data on display), under the name the user
// gives; a name without a directory lands in `directory` (absolute, the
// current one), which is pruned afterwards. A file that exists already is
// replaced only when the user says yes. The texts say what happened: the
// file written, or why nothing was (cancelled, not replaced, the record's
// data refused, the write failed). `now` names the proposed file.
ManualSaveOutcome SaveManualRecord(const AppState& state, ManualSaveKind kind, const std::string& directory,
                                   double now, platform::UiHost& ui, const AskFileInfoFn& ask);

}  // namespace quelvar
