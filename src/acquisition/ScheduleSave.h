#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "acquisition/ContinuousSave.h"
#include "acquisition/SaveWriter.h"
#include "common/AppState.h"

namespace quelvar {

// Whether scheduled saving is armed by the configuration: not masked, and a
// schedule of a kind among the first NumScheduleSave.
bool SchedulesArmed(const LiveConfig& live);

// The run's block counts of every schedule (length, backup interval) from
// the block duration, and a fresh start: no previous check, no period begun.
void PrepareScheduleStates(const LiveConfig& live, ScheduleRunState& run);

// Whether a timed schedule's instant lies in (prev, now], day counts, within
// its day, hour or minute; a wrap of that span between the two is handled.
bool TimedScheduleFires(const ScheduleEntry& entry, double prev, double now);

// Whether a periodic schedule's next instant has come by `now`; the first
// call only starts the period. After a pause or a clock jump of more than a
// period it fires once and resumes on whole periods from its last instant.
bool PeriodicScheduleFires(const ScheduleEntry& entry, ScheduleState& state, double now);

// "F" + the time as "yyyymmddhhnnss" + "-" + k + ".DAT" (or "-BAK.DAT").
std::string ScheduleFileName(double now, int k, bool backup);

// The writers of scheduled saving: up to 20 files at once, each closed when
// it holds its schedule's blocks. Its slots are kept on the calling thread;
// the files are written by the SaveWriter given, or at once without one.
class ScheduleSaveObj {
 public:
  static constexpr int kSlots = 20;

  struct structSaveObj {
    int32_t Active = 0;
    int32_t Blocks = 0;
    int32_t BlockLimit = 0;
    ContinuousSave Saver;
    uint64_t OpenTag = 0;  // tells the report of this slot's latest open
  };

  // Opens a file in `directory` (absolute) for every schedule that fires for
  // the block beginning at `now`; a firing that finds every slot busy or
  // cannot create its file is dropped.
  // Through `writer`, a file that cannot be created frees its slot when
  // its OpenFailed report is handed to OpenRefused.
  void CheckSchedules(AppState& state, double now, const std::string& directory);
  void CheckSchedules(AppState& state, double now, const std::string& directory, SaveWriter& writer);

  // Appends the block (sequence word first) to every active slot; closes the
  // slots that reach their limit. Always 1.
  int SaveBlock(std::span<const uint16_t> block, int32_t numChn, int32_t numSamp);
  int SaveBlock(PendingBlock& block, int32_t numChn, int32_t numSamp, SaveWriter& writer);

  // Closes every active slot; their files stay valid with what they hold.
  void CloseAll();
  void CloseAll(SaveWriter& writer);

  // The open of tag `tag` failed: its slot is free again, unless it has
  // been closed and opened anew meanwhile.
  void OpenRefused(uint64_t tag);

  const structSaveObj& Slot(int i) const { return Slots[static_cast<size_t>(i)]; }

 private:
  // Writes at once, telling open failures straight back.
  SaveWriter InlineWriter();

  std::array<structSaveObj, kSlots> Slots;
  uint64_t lastOpenTag_ = 0;
};

}  // namespace quelvar
