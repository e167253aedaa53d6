#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "BlockRing.h"
#include "Signal.h"
#include "platform/DriverNotify.h"

namespace simcard {

struct CardSettings;

struct StartArgs {
  uint32_t numBuf = 0;
  uint32_t numSamp = 0;  // rows per block; in snapshot mode the rows the card holds
  uint32_t numChn = 0;
  uint32_t frqSamp = 0;
};

// The card's sampling: interrupt mode (a worker thread producing blocks into
// a ring and posting one notification per block) and snapshot mode (a block
// made on demand). Every method may be called from any thread except the
// worker, that is, not from inside the notification callback.
class Acquisition {
 public:
  Acquisition() = default;
  Acquisition(const Acquisition&) = delete;
  Acquisition& operator=(const Acquisition&) = delete;
  ~Acquisition();  // stops the worker, should the program unload a running card

  int32_t Initial();
  int32_t StartInterrupt(const StartArgs& args);
  int32_t StartSnapshot(const StartArgs& args);
  // Stops either mode and joins the worker; the queued blocks and the
  // notification target stay.
  void Stop();

  // A null target cancels. Returns once no post to the previous target is in
  // progress, so the caller may then destroy that target.
  void RegisterNotify(const quelvar::platform::DriverNotifyTarget* target, uint32_t message, uintptr_t keyCode);

  uint16_t QueuedBlocks();
  int32_t TakeOldest(uint16_t* block);
  int32_t CopyNewest(uint16_t* block);
  int32_t Snapshot(uint16_t* block, uint32_t numSamp, int32_t* count);

 private:
  enum class Mode { Idle, Interrupt, Snapshot };

  struct WorkerPlan {
    SignalShape shape;
    uint32_t numSamp = 0;
    std::chrono::nanoseconds interval{0};
    std::optional<uint32_t> maxBlocks;
  };

  int32_t CheckStart(const StartArgs& args, const CardSettings& settings, bool interrupt);
  void StopLocked();
  bool OnWorkerThread();
  void Run(WorkerPlan plan, std::vector<uint16_t> scratch);
  // Waits until the next block is due; false when asked to stop.
  bool WaitForBlock(std::chrono::steady_clock::time_point due, bool lastBlockDone);

  std::mutex control_;  // serialises starting and stopping; held while joining
  std::thread worker_;  // under control_

  std::mutex mutex_;  // everything below
  std::condition_variable wake_;
  std::condition_variable postDone_;
  Mode mode_ = Mode::Idle;
  bool initialised_ = false;
  bool stop_ = false;
  bool posting_ = false;
  std::thread::id workerId_;
  BlockRing ring_;
  quelvar::platform::DriverNotifyTarget target_{nullptr, nullptr};
  uint32_t message_ = 0;
  uintptr_t keyCode_ = 0;
  SignalShape snapshotShape_;
  uint32_t snapshotRows_ = 0;
  uint64_t snapshotNextRow_ = 0;
  uint16_t snapshotSeq_ = 0;
};

Acquisition& TheAcquisition();

}  // namespace simcard
