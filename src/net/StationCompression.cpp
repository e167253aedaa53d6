#include "net/StationCompression.h"

#include <algorithm>
#include <new>
#include <utility>

#include "net/LzssCodec.h"
#include "net/PackedBlock.h"
#include "net/StationStream.h"

namespace quelvar {

namespace {

// The slowest compression bench/ measured (incompressible input, about 180 ns
// a byte), doubled for slower machines.
constexpr double kCompressSecondsPerByteBound = 400e-9;

// The start preparation sizes the packing buffer; this only covers a caller
// that did not.
bool GrowPackingBuffer(std::vector<uint16_t>& packed, size_t words) {
  try {
    packed.resize(words);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

}  // namespace

std::optional<StationBlockOutcome> DecideStationBlock(const StationStreamSettings& settings,
                                                      const StationBlockShape& shape, std::span<const uint16_t> block,
                                                      uint64_t r, int connections, LzssCodec& codec,
                                                      const GrayTables& gray, std::vector<uint16_t>& packed,
                                                      bool* codecUsed) {
  if (codecUsed != nullptr) *codecUsed = false;
  StationBlockOutcome outcome;
  outcome.code = StationMessage::RawBlock;
  if (settings.ServerCompress == 0 || connections <= 0) return outcome;

  uint8_t code = StationMessage::CompressedBlock;
  const uint8_t* source = reinterpret_cast<const uint8_t*>(block.data());
  if (settings.ServerDPCM != 0) {
    const size_t words = static_cast<size_t>(r / 2);
    if (packed.size() < words && !GrowPackingBuffer(packed, words)) return std::nullopt;
    // A layout with more analog channels than words per row packs every
    // column as analog.
    const int32_t analog = std::clamp(shape.Analog_Num, 0, shape.NumChn);
    const std::span<uint8_t> packedBytes(reinterpret_cast<uint8_t*>(packed.data()), static_cast<size_t>(r));
    if (!PackSampleBlock(block, packedBytes, shape.NumChn, analog, shape.NumSamp, gray)) return std::nullopt;
    source = packedBytes.data();
    code = StationMessage::PackedBlock;
  }
  // Compressed once; every viewer gets the same bytes. Memory that runs out
  // while the codec grows its buffer sends nothing.
  try {
    const CodecBuffer compressed = codec.LzssCompress(source, static_cast<size_t>(r));
    if (codecUsed != nullptr) *codecUsed = true;
    const uint64_t n = compressed.size();
    if (n >= r) {
      outcome.ratioText = "压缩比：0%";
      return outcome;
    }
    outcome.code = code;
    outcome.compressed.assign(compressed.begin(), compressed.end());
    outcome.ratioText = "压缩比：" + std::to_string((r - n) * 100 / r) + "%";
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  return outcome;
}

void SendStationBlockOutcome(StationLink& link, std::span<const uint16_t> block, uint64_t r,
                             const StationBlockOutcome& outcome) {
  if (!outcome.ratioText.empty()) link.window.SetRatioText(outcome.ratioText);
  const bool raw = outcome.code == StationMessage::RawBlock;
  const uint8_t* payload = raw ? reinterpret_cast<const uint8_t*>(block.data()) : outcome.compressed.data();
  const size_t size = raw ? static_cast<size_t>(r) : outcome.compressed.size();
  const auto length = static_cast<uint32_t>(size);
  const std::string sequence = std::to_string(block[0]);
  // The writes of one message (code, length, data) are separate sends; one
  // viewer's message is whole before the next viewer's begins.
  for (int i = 0; i < link.connections.Count(); ++i) {
    link.connections.Send(i, &outcome.code, 1);
    if (!raw) link.connections.Send(i, reinterpret_cast<const uint8_t*>(&length), sizeof length);
    link.connections.Send(i, payload, size);
    link.window.SetGridText(i + 1, kGridColumnSentBlock, sequence);
  }
}

bool StationCompressionMayOutlastBlock(const StationBlockShape& shape, double channelRate) {
  const uint64_t r = RawBlockBytes(shape.NumChn, shape.NumSamp);
  if (r == 0) return false;
  if (!(channelRate > 0.0)) return true;
  const double blockSeconds = shape.NumSamp / channelRate;
  return static_cast<double>(r) * kCompressSecondsPerByteBound >= blockSeconds;
}

unsigned StationCompressionWorker::DefaultThreads() {
  const unsigned cores = std::thread::hardware_concurrency();  // 0: unknown
  return cores >= 3 ? 2 : 1;
}

StationCompressionWorker::StationCompressionWorker(LzssCodec& codec, const GrayTables& gray,
                                                   std::function<void()> ready, unsigned threads)
    : codec_(codec), gray_(gray), ready_(std::move(ready)) {
  for (unsigned i = 0; i < std::max(threads, 1u); ++i) lanes_.push_back(std::make_unique<Lane>());
  for (const std::unique_ptr<Lane>& lane : lanes_) lane->thread = std::thread([this, l = lane.get()] { Run(*l); });
}

StationCompressionWorker::~StationCompressionWorker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (const std::unique_ptr<Lane>& lane : lanes_) {
    if (lane->thread.joinable()) lane->thread.join();
  }
}

void StationCompressionWorker::Submit(const StationStreamSettings& settings, const StationBlockShape& shape,
                                      std::span<const uint16_t> block, uint64_t r, int connections) {
  Job job{0, settings, shape, {}, r, connections};
  try {
    job.block.assign(block.begin(), block.begin() + static_cast<ptrdiff_t>(r / 2));
  } catch (const std::bad_alloc&) {
    return;  // out of memory: the block is not sent, as when compressing in place
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.size() < kMaxWaitingBlocks; });
  job.sequence = nextSequence_++;
  waiting_.push_back(std::move(job));
  lock.unlock();
  changed_.notify_all();
}

std::vector<StationCompressionWorker::Done> StationCompressionWorker::TakeDone() {
  std::lock_guard lock(mutex_);
  return std::exchange(done_, {});
}

void StationCompressionWorker::WaitIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.empty() && released_ == nextSequence_; });
}

bool StationCompressionWorker::Idle() const {
  std::lock_guard lock(mutex_);
  return waiting_.empty() && released_ == nextSequence_ && done_.empty();
}

bool StationCompressionWorker::FrontMayStart() const {
  if (waiting_.empty()) return false;
  const Job& job = waiting_.front();
  return job.r >= static_cast<uint64_t>(kLzssWindowSize) || job.sequence == released_;
}

void StationCompressionWorker::ReleaseInOrder() {
  while (!finished_.empty() && finished_.begin()->first == released_) {
    Finished& next = finished_.begin()->second;
    // The station's codec follows the blocks as they come out, so that it
    // holds what one codec would once the last is out.
    if (next.window) codec_.SetWindow(*next.window);
    done_.push_back(std::move(next.done));
    finished_.erase(finished_.begin());
    ++released_;
  }
}

void StationCompressionWorker::Run(Lane& lane) {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || FrontMayStart(); });
      if (stopping_) return;
      job = std::move(waiting_.front());
      waiting_.pop_front();
    }
    changed_.notify_all();  // room for a waiting Submit, or the next job for another thread
    // A short block depends on the window: every block before it is out, no
    // later one can come out before it, and the owner keeps off the codec,
    // so the station's codec holds that window and nobody writes it now.
    if (job.r < static_cast<uint64_t>(kLzssWindowSize)) lane.codec.SetWindow(codec_.Window());
    Finished finished;
    bool codecUsed = false;
    finished.done.outcome = DecideStationBlock(job.settings, job.shape, job.block, job.r, job.connections,
                                               lane.codec, gray_, lane.packed, &codecUsed);
    if (codecUsed) finished.window = lane.codec.Window();
    finished.done.block = std::move(job.block);
    finished.done.r = job.r;
    size_t released = 0;
    {
      std::lock_guard lock(mutex_);
      const size_t before = done_.size();
      finished_.emplace(job.sequence, std::move(finished));
      ReleaseInOrder();
      released = done_.size() - before;
    }
    changed_.notify_all();
    if (ready_) {
      for (size_t i = 0; i < released; ++i) ready_();
    }
  }
}

}  // namespace quelvar
