#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/ContinuousSave.h"

namespace quelvar {

// What a writer tells its owner about a command it carried out.
struct SaveReport {
  enum class Kind {
    OpenFailed,    // an Open asked to report its failure could not create its files
    AppendFailed,  // an Append asked to report its failure made the saver fail
  };
  Kind kind = Kind::OpenFailed;
  uint64_t tag = 0;            // the tag the command was given
  int32_t blocksWritten = 0;   // the saver's count once the command had run
  bool operator==(const SaveReport&) const = default;
};

class SaveWriter;

// A copy of one block waiting to be written, and who still needs it.
struct SaveSlab {
  std::vector<uint16_t> words;
  int users = 0;  // the pending block and the queued appends holding it
};

// One block offered to the savers, copied into the writer's buffers only when
// the first saver takes it, and then shared by all of them: a block no saver
// takes costs nothing, one all 21 savers take is copied once. Lives on the
// stack of the per-block processing.
class PendingBlock {
 public:
  PendingBlock(SaveWriter& writer, std::span<const uint16_t> block) : writer_(writer), block_(block) {}
  ~PendingBlock();
  PendingBlock(const PendingBlock&) = delete;
  PendingBlock& operator=(const PendingBlock&) = delete;

  std::span<const uint16_t> Words() const { return block_; }

 private:
  friend class SaveWriter;
  SaveWriter& writer_;
  std::span<const uint16_t> block_;
  SaveSlab* slab_ = nullptr;  // the writer's copy, taken by the first saver
};

// Carries out the file work of continuous and scheduled saving in the order
// it is given: opens, appends and closes of `ContinuousSave` writers. With a
// thread (the program's way) the calling thread only queues the work and
// copies the block once, so the writes and the waits for the disk never stall
// it; without one (`Inline`) each command runs at once, as the savers always
// did. A failure the caller asked to hear of comes back as a `SaveReport`, in
// the order of the commands: inline at once, threaded through `wake` (called
// on the writer's thread: post a call of DeliverReports to the owner's
// thread) and DeliverReports.
//
// The savers given to a threaded writer belong to it until Drain returns:
// their state is read only after Drain. Blocks waiting to be written are
// bounded; when the disk falls that far behind, the caller waits as it
// would have waited for the write.
class SaveWriter {
 public:
  using Handler = std::function<void(const SaveReport&)>;
  enum class Mode { Threaded, Inline };

  // Blocks that may wait to be written, counted in bytes: a few seconds of
  // full-size blocks, enough to ride out a slow fdatasync.
  static constexpr uint64_t kMaxPendingBytes = uint64_t{64} << 20;

  // `handler` takes the reports on the caller's thread. A threaded writer
  // whose thread cannot be started works inline.
  SaveWriter(Mode mode, Handler handler, std::function<void()> wake = {},
             uint64_t maxPendingBytes = kMaxPendingBytes);
  // Carries out everything given (reports still undelivered are dropped) and ends the thread.
  ~SaveWriter();
  SaveWriter(const SaveWriter&) = delete;
  SaveWriter& operator=(const SaveWriter&) = delete;

  // Opens `saver` as ContinuousSave::Open does. A failure is reported
  // (OpenFailed) when `reportTag` is not 0.
  void Open(ContinuousSave& saver, std::shared_ptr<const ContinuousSaveContent> content, std::string fileName,
            std::string backupName, int32_t backupInterval, double startTime, uint64_t reportTag);

  // Appends the block to `saver` unless the saver is not open (a failure has
  // closed it): the first failure is reported (AppendFailed) when
  // `reportFailure`, later blocks are not offered. With `dataGap` the saver's
  // data-gap mark is set first.
  void Append(ContinuousSave& saver, PendingBlock& block, int32_t numChn, int32_t numSamp,
              std::optional<bool> dataGap, bool reportFailure);

  // Closes `saver` (ContinuousSave::Close); its result is read after Drain.
  void Close(ContinuousSave& saver);

  // Waits until every command given has been carried out (its files are
  // then as the inline writer would have left them), then delivers the
  // waiting reports.
  void Drain();

  // Delivers the reports of the commands carried out so far, in order.
  void DeliverReports();

  bool Threaded() const { return thread_.joinable(); }

 private:
  friend class PendingBlock;
  struct Command;

  void Run();
  void Execute(Command& command);
  void Queue(Command&& command);
  SaveSlab* TakeSlab(std::span<const uint16_t> block);
  void Release(SaveSlab* slab);
  void Report(const SaveReport& report);

  Handler handler_;
  std::function<void()> wake_;
  uint64_t maxPendingBytes_;

  std::mutex mutex_;
  std::condition_variable work_;      // the thread: commands or the end
  std::condition_variable progress_;  // callers: commands done, buffers freed
  std::vector<Command> queued_;       // given, not yet taken by the thread
  std::vector<Command> running_;      // the thread's batch (its capacity kept)
  bool busy_ = false;                 // the thread is running a batch
  bool ending_ = false;
  std::vector<std::unique_ptr<SaveSlab>> slabs_;
  std::vector<SaveReport> reports_;   // carried out, not yet delivered
  std::thread thread_;
};

}  // namespace quelvar
