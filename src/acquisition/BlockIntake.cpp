#include "acquisition/BlockIntake.h"

#include "acquisition/OnlineFilter.h"
#include "acquisition/VirtualAdFile.h"
#include "acquisition/VirtualCard.h"
#include "common/NumberFormat.h"

namespace quelvar {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// Takes one block into CurrentBlock; false when none was delivered.
bool TakeBlock(AppState& state, const IntakeEnv& env) {
  LiveConfig& c = state.config;
  AcquisitionState& a = state.acq;
  uint16_t* block = a.CurrentBlock();
  if (c.SimulateAD) {
    const uint16_t seq = static_cast<uint16_t>(block[0] + 1);
    if (c.SimulateType == 1) {
      const size_t words = static_cast<size_t>(c.NumSamp) * static_cast<size_t>(c.NumChn);
      if (!ReadVirtualAdBlock(a.Replay, block + 1, words)) return false;
    } else {
      GenerateSimulatedBlock(block + 1, c.NumSamp, state.layout, c, a.VirtualCard, env.rand32767);
    }
    block[0] = seq;
    return true;  // a virtual block is neither filtered nor resampled
  }
  const AdDriver& d = state.driver.Entries;
  bool reseed = false;
  if (c.MaxBlock < 2) {
    int32_t count = 0;
    if (d.GetSnapshot == nullptr ||
        d.GetSnapshot(block, static_cast<uint32_t>(DeliveredRows(c)), &count) != 1) {
      return false;
    }
    reseed = true;  // snapshots do not follow each other in time
  } else {
    if (d.ADResult == nullptr || d.ADResult(block) != 1) return false;
    const uint16_t queued = d.QueryBuf != nullptr ? d.QueryBuf() : 0;
    if (queued > 0) a.BlockTime -= static_cast<double>(queued) * c.NumSamp / c.ChannelRate / kSecondsPerDay;
  }
  if (c.OnlineFilter) ApplyOnlineFilter(block + 1, DeliveredRows(c), state.layout, c.FilterCoe, reseed, a.Filter);
  if (c.OnlineResamp) ApplyOnlineResample(block + 1, c.NumSamp, state.layout, c.ResampNum, c.ResampMode);
  return true;
}

// The replay ends after the file's last block (or when the file fails).
void EndReplayWhenDone(AppState& state, const IntakeEnv& env) {
  VirtualAdReplay& replay = state.acq.Replay;
  if (state.RunState == kRunIdle || !(state.config.SimulateAD && state.config.SimulateType == 1)) return;
  if (replay.Fd >= 0 && replay.VirtualAdBlocksRead < replay.VirtualAdBlocks) return;
  CloseVirtualAdFile(replay);
  env.stopRun();
}

}  // namespace

int32_t DeliveredRows(const LiveConfig& c) {
  return SaturateToInt32(int64_t{c.NumSamp} * (c.OnlineResamp ? c.ResampNum : 1));
}

int IntakeBlocks(AppState& state, const IntakeEnv& env) {
  if (state.RunState == kRunIdle) return 0;
  LiveConfig& c = state.config;
  AcquisitionState& a = state.acq;
  if (c.SimulateAD && c.MaxBlock == 1 && a.OscilPaused) return 0;
  const int32_t drainLimit = c.NumBuf / 2;
  int taken = 0;
  while (true) {
    a.BlockTime = env.now();
    if (!TakeBlock(state, env)) break;
    a.BlockTime -= static_cast<double>(c.NumSamp) / c.ChannelRate / kSecondsPerDay;
    ++taken;
    env.processBlock();
    a.BlockCounter += 1;
    const bool replaying = c.SimulateAD && c.SimulateType == 1;
    if (!replaying && c.EndBlock > 0 && a.BlockCounter >= c.EndBlock) {
      env.stopRun();
      break;
    }
    if (c.SimulateAD || c.MaxBlock < 2) break;
    const uint16_t queued = state.driver.Entries.QueryBuf != nullptr ? state.driver.Entries.QueryBuf() : 0;
    if (!(queued > drainLimit && taken < drainLimit)) break;
  }
  if (taken > 0) {
    env.requestRepaint();
    a.NotifyWatchdog = 0;
  }
  EndReplayWhenDone(state, env);
  return taken;
}

bool IntakeOscilloscopeBlock(AppState& state, const IntakeEnv& env) {
  LiveConfig& c = state.config;
  AcquisitionState& a = state.acq;
  if (state.RunState != kRunOscilloscope || a.OscilPaused) return false;
  uint16_t* block = a.CurrentBlock();
  if (c.SimulateAD) {
    block[0] = static_cast<uint16_t>(block[0] + 1);
    if (c.SimulateType == 1) {
      const size_t words = static_cast<size_t>(c.NumSamp) * static_cast<size_t>(c.NumChn);
      if (!ReadVirtualAdBlock(a.Replay, block + 1, words)) return false;
    } else {
      GenerateSimulatedBlock(block + 1, c.NumSamp, state.layout, c, a.VirtualCard, env.rand32767);
    }
  } else {
    const AdDriver& d = state.driver.Entries;
    int32_t count = 0;
    if (d.GetSnapshot == nullptr || d.GetSnapshot(block, static_cast<uint32_t>(DeliveredRows(c)), &count) != 1) {
      return false;
    }
    // Snapshots do not follow each other in time: the filter starts afresh.
    if (c.OnlineFilter) ApplyOnlineFilter(block + 1, DeliveredRows(c), state.layout, c.FilterCoe, true, a.Filter);
    if (c.OnlineResamp) ApplyOnlineResample(block + 1, c.NumSamp, state.layout, c.ResampNum, c.ResampMode);
  }
  a.BlockTime = env.now() - static_cast<double>(c.NumSamp) / c.ChannelRate / kSecondsPerDay;
  env.processBlock();
  return true;
}

}  // namespace quelvar
