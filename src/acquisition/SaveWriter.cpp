#include "acquisition/SaveWriter.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace quelvar {

struct SaveWriter::Command {
  enum class Kind { Open, Append, Close };
  Kind kind = Kind::Close;
  ContinuousSave* saver = nullptr;
  // Open
  std::shared_ptr<const ContinuousSaveContent> content;
  std::string fileName;
  std::string backupName;
  int32_t backupInterval = 0;
  double startTime = 0;
  uint64_t reportTag = 0;
  // Append
  std::span<const uint16_t> words;
  SaveSlab* slab = nullptr;  // threaded: the copy `words` lies in
  int32_t numChn = 0;
  int32_t numSamp = 0;
  std::optional<bool> dataGap;
  bool reportFailure = false;
};

PendingBlock::~PendingBlock() {
  if (slab_ != nullptr) writer_.Release(slab_);
}

SaveWriter::SaveWriter(Mode mode, Handler handler, std::function<void()> wake, uint64_t maxPendingBytes)
    : handler_(std::move(handler)), wake_(std::move(wake)), maxPendingBytes_(maxPendingBytes) {
  if (mode != Mode::Threaded) return;
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    // Without a thread the work is done at once, as it always was.
  }
}

SaveWriter::~SaveWriter() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  work_.notify_all();
  thread_.join();
}

void SaveWriter::Run() {
  std::unique_lock lock(mutex_);
  while (true) {
    work_.wait(lock, [this] { return ending_ || !queued_.empty(); });
    if (queued_.empty()) return;  // ending, and everything given is done
    running_.swap(queued_);
    busy_ = true;
    lock.unlock();
    for (Command& command : running_) Execute(command);
    running_.clear();
    lock.lock();
    busy_ = false;
    progress_.notify_all();
  }
}

void SaveWriter::Execute(Command& c) {
  switch (c.kind) {
    case Command::Kind::Open:
      if (c.saver->Open(*c.content, c.fileName, c.backupName, c.backupInterval, c.startTime) != 1 &&
          c.reportTag != 0) {
        Report({SaveReport::Kind::OpenFailed, c.reportTag, c.saver->BlocksWritten()});
      }
      break;
    case Command::Kind::Append:
      // A saver closed by a failure takes no more blocks: the failure is
      // told once, not once per block.
      if (c.saver->IsOpen()) {
        if (c.dataGap) c.saver->SetDataGap(*c.dataGap);
        if (c.saver->Append(c.words, c.numChn, c.numSamp) == 0 && c.reportFailure) {
          Report({SaveReport::Kind::AppendFailed, 0, c.saver->BlocksWritten()});
        }
      }
      if (c.slab != nullptr) Release(c.slab);
      c.slab = nullptr;
      break;
    case Command::Kind::Close:
      c.saver->Close();
      break;
  }
}

void SaveWriter::Queue(Command&& command) {
  if (!thread_.joinable()) {
    Execute(command);
    return;
  }
  bool wasEmpty = false;
  {
    std::lock_guard lock(mutex_);
    if (command.slab != nullptr) command.slab->users += 1;
    wasEmpty = queued_.empty();
    queued_.push_back(std::move(command));
  }
  // The thread sleeps only on an empty queue: one wake-up per batch.
  if (wasEmpty) work_.notify_one();
}

void SaveWriter::Open(ContinuousSave& saver, std::shared_ptr<const ContinuousSaveContent> content,
                      std::string fileName, std::string backupName, int32_t backupInterval, double startTime,
                      uint64_t reportTag) {
  Command c;
  c.kind = Command::Kind::Open;
  c.saver = &saver;
  c.content = std::move(content);
  c.fileName = std::move(fileName);
  c.backupName = std::move(backupName);
  c.backupInterval = backupInterval;
  c.startTime = startTime;
  c.reportTag = reportTag;
  Queue(std::move(c));
}

void SaveWriter::Append(ContinuousSave& saver, PendingBlock& block, int32_t numChn, int32_t numSamp,
                        std::optional<bool> dataGap, bool reportFailure) {
  Command c;
  c.kind = Command::Kind::Append;
  c.saver = &saver;
  c.numChn = numChn;
  c.numSamp = numSamp;
  c.dataGap = dataGap;
  c.reportFailure = reportFailure;
  if (thread_.joinable()) {
    if (block.slab_ == nullptr) block.slab_ = TakeSlab(block.block_);
    c.slab = block.slab_;
    c.words = block.slab_->words;
  } else {
    c.words = block.block_;
  }
  Queue(std::move(c));
}

void SaveWriter::Close(ContinuousSave& saver) {
  Command c;
  c.kind = Command::Kind::Close;
  c.saver = &saver;
  Queue(std::move(c));
}

SaveSlab* SaveWriter::TakeSlab(std::span<const uint16_t> block) {
  // A slab costs its bookkeeping too, so tiny blocks cannot pile up unbounded.
  const uint64_t bytes = block.size() * sizeof(uint16_t) + sizeof(SaveSlab) + 64;
  const size_t limit = static_cast<size_t>(std::max<uint64_t>(maxPendingBytes_ / bytes, 2));
  SaveSlab* slab = nullptr;
  {
    std::unique_lock lock(mutex_);
    // When the disk is this far behind, the caller waits for it as it would
    // have waited for the write itself.
    progress_.wait(lock, [&] {
      for (const auto& s : slabs_) {
        if (s->users == 0) {
          slab = s.get();
          return true;
        }
      }
      if (slabs_.size() >= limit) return false;
      slabs_.push_back(std::make_unique<SaveSlab>());
      slab = slabs_.back().get();
      return true;
    });
    slab->users = 1;  // the pending block's hold
  }
  // Ours alone until queued: copied outside the lock.
  slab->words.assign(block.begin(), block.end());
  return slab;
}

void SaveWriter::Release(SaveSlab* slab) {
  {
    std::lock_guard lock(mutex_);
    slab->users -= 1;
  }
  progress_.notify_all();
}

void SaveWriter::Report(const SaveReport& report) {
  if (!thread_.joinable()) {
    if (handler_) handler_(report);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    reports_.push_back(report);
  }
  if (wake_) wake_();
}

void SaveWriter::Drain() {
  if (thread_.joinable()) {
    std::unique_lock lock(mutex_);
    progress_.wait(lock, [this] { return queued_.empty() && !busy_; });
    // A finished run gives back the memory of its copies.
    std::erase_if(slabs_, [](const auto& s) { return s->users == 0; });
  }
  DeliverReports();
}

void SaveWriter::DeliverReports() {
  std::vector<SaveReport> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(reports_);
  }
  if (!handler_) return;
  for (const SaveReport& report : batch) handler_(report);
}

}  // namespace quelvar
