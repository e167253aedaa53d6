#include "acquisition/ScheduleSave.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "acquisition/ContinuousSaving.h"
#include "common/NumberFormat.h"
#include "platform/DayTime.h"

namespace quelvar {

namespace {

constexpr double kSecondsPerDay = 86400.0;
// A period below this is taken as one second, so a damaged entry cannot
// fire at every block or divide by zero.
constexpr double kShortestPeriodDays = 1.0 / kSecondsPerDay;

int32_t ScheduleCount(const LiveConfig& live) { return std::clamp(live.NumScheduleSave, 0, kScheduleEntries); }

// The span a timed schedule repeats in, in days: a day, an hour or a minute.
double SpanOf(const ScheduleEntry& e) { return e.TimedMode == 0 ? 1.0 : e.TimedMode == 1 ? 1.0 / 24 : 1.0 / 1440; }

double InstantOf(const ScheduleEntry& e) {
  switch (e.TimedMode) {
    case 0: return (e.Hour * 3600.0 + e.Minute * 60.0 + e.Second) / kSecondsPerDay;
    case 1: return (e.Minute * 60.0 + e.Second) / kSecondsPerDay;
    default: return e.Second / kSecondsPerDay;
  }
}

// Position of a day count within its span.
double PositionIn(double t, double span) { return t - std::floor(t / span) * span; }

}  // namespace

bool SchedulesArmed(const LiveConfig& live) {
  if (live.idMaskScheduleSave != 0) return false;
  for (int32_t k = 0; k < ScheduleCount(live); ++k) {
    if (live.ScheduleTable[static_cast<size_t>(k)].Type != 0) return true;
  }
  return false;
}

void PrepareScheduleStates(const LiveConfig& live, ScheduleRunState& run) {
  const double d = static_cast<double>(live.NumSamp) / live.ChannelRate;
  for (int32_t k = 0; k < ScheduleCount(live); ++k) {
    const ScheduleEntry& e = live.ScheduleTable[static_cast<size_t>(k)];
    ScheduleState& s = run.States[static_cast<size_t>(k)];
    s.BlockLimit = std::max(TruncToInt32((e.DurationSec + d - 0.001) / d), 1);
    s.BackupBlocks = std::max(TruncToInt32((e.BackupMin * 60.0 + d - 0.001) / d), 2);
  }
  run.PrevTime = 0.0;
  for (ScheduleState& s : run.States) s.LastTime = 0.0;
}

bool TimedScheduleFires(const ScheduleEntry& entry, double prev, double now) {
  const double span = SpanOf(entry);
  const double t = InstantOf(entry);
  double p = PositionIn(prev, span);
  double n = PositionIn(now, span);
  if (n < p) {
    // The span wrapped between the two blocks.
    if (t > span / 2) {
      n += span;
    } else {
      p -= span;
    }
  }
  return p < t && t <= n;
}

bool PeriodicScheduleFires(const ScheduleEntry& entry, ScheduleState& state, double now) {
  if (state.LastTime == 0.0 || now < state.LastTime) {
    // The first block starts the period; so does a clock set back.
    state.LastTime = now;
    return false;
  }
  const double period =
      std::max(entry.Hour / 24.0 + entry.Minute / 1440.0 + entry.Second / kSecondsPerDay, kShortestPeriodDays);
  const double next = state.LastTime + period;
  if (next > now) return false;
  // Whole periods missed (a pause, a jump of the clock) are skipped, so the
  // schedule stays on its beat instead of falling behind for good.
  state.LastTime = next + std::floor((now - next) / period) * period;
  return true;
}

std::string ScheduleFileName(double now, int k, bool backup) {
  return "F" + platform::FileStampText(now) + "-" + std::to_string(k) + (backup ? "-BAK.DAT" : ".DAT");
}

SaveWriter ScheduleSaveObj::InlineWriter() {
  return SaveWriter(SaveWriter::Mode::Inline, [this](const SaveReport& report) {
    if (report.kind == SaveReport::Kind::OpenFailed) OpenRefused(report.tag);
  });
}

void ScheduleSaveObj::CheckSchedules(AppState& state, double now, const std::string& directory) {
  SaveWriter writer = InlineWriter();
  CheckSchedules(state, now, directory, writer);
}

void ScheduleSaveObj::CheckSchedules(AppState& state, double now, const std::string& directory, SaveWriter& writer) {
  const LiveConfig& live = state.config;
  ScheduleRunState& run = state.acq.Schedules;
  std::shared_ptr<const ContinuousSaveContent> content;  // built at the first firing only
  for (int32_t k = 0; k < ScheduleCount(live); ++k) {
    const ScheduleEntry& e = live.ScheduleTable[static_cast<size_t>(k)];
    ScheduleState& s = run.States[static_cast<size_t>(k)];
    const bool fires = e.Type == 1 ? TimedScheduleFires(e, run.PrevTime, now)
                       : e.Type == 2 ? PeriodicScheduleFires(e, s, now)
                                     : false;
    if (!fires) continue;
    const auto slot = std::find_if(Slots.begin(), Slots.end(), [](const structSaveObj& o) { return o.Active == 0; });
    if (slot == Slots.end()) continue;
    if (!content) content = std::make_shared<const ContinuousSaveContent>(RunContent(state, directory));
    const std::string backup = e.SafeBackup ? ScheduleFileName(now, k, true) : std::string();
    // Taken before the open, which may be refused at once (inline) or later.
    slot->Active = 1;
    slot->Blocks = 0;
    slot->BlockLimit = s.BlockLimit;
    slot->OpenTag = ++lastOpenTag_;
    writer.Open(slot->Saver, content, ScheduleFileName(now, k, false), backup, s.BackupBlocks, now, slot->OpenTag);
  }
  run.PrevTime = now;
}

void ScheduleSaveObj::OpenRefused(uint64_t tag) {
  for (structSaveObj& slot : Slots) {
    if (slot.Active != 0 && slot.OpenTag == tag) slot.Active = 0;
  }
}

int ScheduleSaveObj::SaveBlock(std::span<const uint16_t> block, int32_t numChn, int32_t numSamp) {
  SaveWriter writer = InlineWriter();
  PendingBlock pending(writer, block);
  return SaveBlock(pending, numChn, numSamp, writer);
}

int ScheduleSaveObj::SaveBlock(PendingBlock& block, int32_t numChn, int32_t numSamp, SaveWriter& writer) {
  for (structSaveObj& slot : Slots) {
    if (slot.Active == 0) continue;
    writer.Append(slot.Saver, block, numChn, numSamp, std::nullopt, false);
    slot.Blocks += 1;
    if (slot.Blocks >= slot.BlockLimit) {
      writer.Close(slot.Saver);
      slot.Active = 0;
    }
  }
  return 1;
}

void ScheduleSaveObj::CloseAll() {
  SaveWriter writer = InlineWriter();
  CloseAll(writer);
}

void ScheduleSaveObj::CloseAll(SaveWriter& writer) {
  for (structSaveObj& slot : Slots) {
    if (slot.Active == 0) continue;
    writer.Close(slot.Saver);
    slot.Active = 0;
  }
}

}  // namespace quelvar
