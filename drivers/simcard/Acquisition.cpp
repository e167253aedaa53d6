#include "Acquisition.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "LastError.h"
#include "Settings.h"

namespace simcard {

namespace {

using quelvar::platform::DriverNotifyTarget;
using Clock = std::chrono::steady_clock;

// Ring and scratch block together; a start asking for more is refused
// rather than left to the allocator's mercy.
constexpr uint64_t kMaxBufferBytes = uint64_t{256} << 20;

SignalShape ShapeFor(const StartArgs& args, const CardSettings& settings) {
  SignalShape shape;
  shape.numChn = args.numChn;
  shape.switchWords = settings.switchWords;
  shape.rowRate = RealChannelRate(settings.rateDivide, args.numChn, args.frqSamp);
  shape.vZero = settings.vZero;
  shape.adMax = settings.adMax;
  shape.amplitude = settings.amplitude;
  return shape;
}

std::chrono::nanoseconds BlockInterval(const CardSettings& settings, uint32_t numSamp, double rowRate) {
  if (settings.blockMs) return std::chrono::milliseconds(*settings.blockMs);
  const double seconds = std::min(numSamp / rowRate, 86400.0);
  return std::chrono::nanoseconds(static_cast<int64_t>(seconds * 1e9));
}

}  // namespace

Acquisition::~Acquisition() {
  std::lock_guard control(control_);
  StopLocked();
}

int32_t Acquisition::Initial() {
  const CardSettings settings = ReadCardSettings();
  std::lock_guard lock(mutex_);
  initialised_ = !settings.failInitial;
  if (!initialised_) return Fail(kErrNoCard);
  SetLastError(kErrNone);
  return 1;
}

int32_t Acquisition::CheckStart(const StartArgs& args, const CardSettings& settings, bool interrupt) {
  if (settings.failStart) return kErrOther;
  {
    std::lock_guard lock(mutex_);
    if (mode_ != Mode::Idle) return kErrRunning;
    if (!initialised_) return kErrNotInitialised;
  }
  if (interrupt && (args.numBuf == 0 || args.numBuf > 65535)) return kErrNumBuf;
  if (args.numSamp == 0) return kErrNumSamp;
  if (args.numChn == 0) return kErrNoChannels;
  if (args.numChn > settings.maxChannels) return kErrTooManyChannels;
  if (uint64_t{args.numSamp} * args.numChn < settings.minBlockSamples) return kErrNumSamp;
  if (args.frqSamp == 0) return kErrFrqSamp;
  if (interrupt) {
    const uint64_t blockBytes = (1 + uint64_t{args.numSamp} * args.numChn) * 2;
    if (blockBytes > kMaxBufferBytes / (uint64_t{args.numBuf} + 1)) return kErrNoMemory;
  }
  return kErrNone;
}

int32_t Acquisition::StartInterrupt(const StartArgs& args) {
  if (OnWorkerThread()) return Fail(kErrRunning);
  const CardSettings settings = ReadCardSettings();
  std::lock_guard control(control_);
  if (const int32_t code = CheckStart(args, settings, true)) return Fail(code);
  if (worker_.joinable()) worker_.join();  // one stopped from inside its own callback

  WorkerPlan plan;
  plan.shape = ShapeFor(args, settings);
  plan.numSamp = args.numSamp;
  plan.interval = BlockInterval(settings, args.numSamp, plan.shape.rowRate);
  plan.maxBlocks = settings.maxBlocks;
  const size_t blockWords = 1 + size_t{args.numSamp} * args.numChn;
  std::vector<uint16_t> scratch;
  try {
    scratch.resize(blockWords);
    std::lock_guard lock(mutex_);
    ring_.Reset(args.numBuf, blockWords);
    mode_ = Mode::Interrupt;
    stop_ = false;
  } catch (const std::bad_alloc&) {
    return Fail(kErrNoMemory);
  }
  try {
    worker_ = std::thread(&Acquisition::Run, this, std::move(plan), std::move(scratch));
  } catch (const std::system_error&) {
    std::lock_guard lock(mutex_);
    mode_ = Mode::Idle;
    ring_.Release();
    return Fail(kErrOther);
  }
  SetLastError(kErrNone);
  return 1;
}

int32_t Acquisition::StartSnapshot(const StartArgs& args) {
  if (OnWorkerThread()) return Fail(kErrRunning);
  const CardSettings settings = ReadCardSettings();
  std::lock_guard control(control_);
  if (const int32_t code = CheckStart(args, settings, false)) return Fail(code);
  if (worker_.joinable()) worker_.join();
  std::lock_guard lock(mutex_);
  ring_.Release();  // blocks of an earlier interrupt run are not snapshots
  snapshotShape_ = ShapeFor(args, settings);
  snapshotRows_ = args.numSamp;
  snapshotNextRow_ = 0;
  snapshotSeq_ = 0;
  mode_ = Mode::Snapshot;
  SetLastError(kErrNone);
  return 1;
}

void Acquisition::Stop() {
  if (OnWorkerThread()) {
    // A thread cannot join itself: ask it to end; the next start or stop joins it.
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
      mode_ = Mode::Idle;
    }
    wake_.notify_all();
    return;
  }
  std::lock_guard control(control_);
  StopLocked();
}

void Acquisition::StopLocked() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    mode_ = Mode::Idle;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

bool Acquisition::OnWorkerThread() {
  std::lock_guard lock(mutex_);
  return workerId_ == std::this_thread::get_id();
}

void Acquisition::RegisterNotify(const DriverNotifyTarget* target, uint32_t message, uintptr_t keyCode) {
  const bool onWorker = OnWorkerThread();
  std::unique_lock lock(mutex_);
  if (target != nullptr && target->post != nullptr) {
    target_ = *target;
    message_ = message;
    keyCode_ = keyCode;
  } else {
    target_ = {nullptr, nullptr};
    message_ = 0;
    keyCode_ = 0;
  }
  if (!onWorker) postDone_.wait(lock, [this] { return !posting_; });
}

uint16_t Acquisition::QueuedBlocks() {
  std::lock_guard lock(mutex_);
  return static_cast<uint16_t>(ring_.Count());
}

int32_t Acquisition::TakeOldest(uint16_t* block) {
  std::lock_guard lock(mutex_);
  if (block == nullptr) return Fail(kErrBufferTooSmall);
  if (!ring_.PopOldest(block)) return Fail(kErrNoBlock);
  return 1;
}

int32_t Acquisition::CopyNewest(uint16_t* block) {
  std::lock_guard lock(mutex_);
  if (block == nullptr) return Fail(kErrBufferTooSmall);
  if (!ring_.CopyNewest(block)) return Fail(kErrNoBlock);
  return 1;
}

int32_t Acquisition::Snapshot(uint16_t* block, uint32_t numSamp, int32_t* count) {
  if (count != nullptr) *count = 0;
  SignalShape shape;
  uint64_t firstRow = 0;
  uint16_t seq = 0;
  {
    std::lock_guard lock(mutex_);
    if (mode_ != Mode::Snapshot) return Fail(kErrNotSnapshot);
    if (numSamp == 0) return Fail(kErrNumSamp);
    if (block == nullptr || numSamp > snapshotRows_) return Fail(kErrBufferTooSmall);
    shape = snapshotShape_;
    firstRow = snapshotNextRow_;
    snapshotNextRow_ += numSamp;
    seq = snapshotSeq_++;
  }
  block[0] = seq;
  FillRows(block + 1, firstRow, numSamp, shape);
  if (count != nullptr) *count = static_cast<int32_t>(std::min<uint32_t>(numSamp, INT32_MAX));
  return 1;
}

bool Acquisition::WaitForBlock(Clock::time_point due, bool lastBlockDone) {
  std::unique_lock lock(mutex_);
  if (lastBlockDone) {
    wake_.wait(lock, [this] { return stop_; });
    return false;
  }
  if (stop_ || Clock::now() >= due) return !stop_;  // a block already due needs no wait
  return !wake_.wait_until(lock, due, [this] { return stop_; });
}

void Acquisition::Run(WorkerPlan plan, std::vector<uint16_t> block) {
  {
    std::lock_guard lock(mutex_);
    workerId_ = std::this_thread::get_id();
  }
  auto due = Clock::now() + plan.interval;
  for (uint64_t n = 0; WaitForBlock(due, plan.maxBlocks && n >= *plan.maxBlocks); ++n) {
    block[0] = static_cast<uint16_t>(n);
    FillRows(block.data() + 1, n * plan.numSamp, plan.numSamp, plan.shape);
    DriverNotifyTarget target{nullptr, nullptr};
    uint32_t message = 0;
    uintptr_t keyCode = 0;
    {
      std::lock_guard lock(mutex_);
      ring_.Push(block.data());
      if (target_.post != nullptr) {
        target = target_;
        message = message_;
        keyCode = keyCode_;
        posting_ = true;
      }
    }
    if (target.post != nullptr) {
      // Outside the lock, so the program can read blocks while the receiver
      // takes its time.
      target.post(target.ctx, message, keyCode);
      {
        std::lock_guard lock(mutex_);
        posting_ = false;
      }
      postDone_.notify_all();
    }
    due += plan.interval;
    // After a stall (a suspended machine) go on from now rather than making
    // up every missed block in one burst.
    const auto now = Clock::now();
    if (now - due > std::chrono::seconds(1)) due = now;
  }
  std::lock_guard lock(mutex_);
  workerId_ = {};
}

Acquisition& TheAcquisition() {
  static Acquisition card;
  return card;
}

}  // namespace simcard
