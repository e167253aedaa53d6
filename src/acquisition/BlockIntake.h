#pragma once

#include <functional>

#include "common/AppState.h"

namespace quelvar {

// What block intake needs around it.
struct IntakeEnv {
  std::function<double()> now;           // local time, day count
  std::function<void()> processBlock;    // the per-block processing
  std::function<void()> stopRun;         // the recorder toggle, to stop at the block limit
  std::function<void()> requestRepaint;  // after the blocks of a call
  std::function<int()> rand32767;        // the virtual card's spikes
};

// Rows the card delivers a block (NumSamp, times ResampNum with on-line
// resampling). The start sized the block buffer by it, so it fits in 32 bits
// whenever a run is on; computed in 64 and saturated all the same.
int32_t DeliveredRows(const LiveConfig& c);

// One call of the intake (a driver notification, a pacing tick or the
// watchdog poll): takes the block(s) into CurrentBlock, stamps their time,
// filters and resamples the real card's blocks and hands each to the
// per-block processing. In interrupt mode it drains a backlog of queued
// blocks, at most half the driver's buffers per call. Returns the number of
// blocks delivered.
int IntakeBlocks(AppState& state, const IntakeEnv& env);

// One tick of the two-trace oscilloscope: fetches one snapshot block (or the
// virtual card's next block), filters and resamples a real card's block,
// stamps its time and hands it to the per-block processing. False when the
// oscilloscope is not running, is paused or no block came.
bool IntakeOscilloscopeBlock(AppState& state, const IntakeEnv& env);

}  // namespace quelvar
