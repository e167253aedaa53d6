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
                                                      const GrayTables& gray, std::vector<uint16_t>& packed) {
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

StationCompressionWorker::StationCompressionWorker(LzssCodec& codec, const GrayTables& gray,
                                                   std::function<void()> ready)
    : codec_(codec), gray_(gray), ready_(std::move(ready)), thread_([this] { Run(); }) {}

StationCompressionWorker::~StationCompressionWorker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void StationCompressionWorker::Submit(const StationStreamSettings& settings, const StationBlockShape& shape,
                                      std::span<const uint16_t> block, uint64_t r, int connections) {
  Job job{settings, shape, std::vector<uint16_t>(block.begin(), block.begin() + static_cast<ptrdiff_t>(r / 2)), r,
          connections};
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.size() < kMaxWaitingBlocks; });
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
  changed_.wait(lock, [this] { return waiting_.empty() && !busy_; });
}

bool StationCompressionWorker::Idle() const {
  std::lock_guard lock(mutex_);
  return waiting_.empty() && !busy_ && done_.empty();
}

void StationCompressionWorker::Run() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
      if (stopping_) return;
      job = std::move(waiting_.front());
      waiting_.pop_front();
      busy_ = true;
    }
    changed_.notify_all();  // room for a waiting Submit
    Done done;
    done.outcome = DecideStationBlock(job.settings, job.shape, job.block, job.r, job.connections, codec_, gray_,
                                      packed_);
    done.block = std::move(job.block);
    done.r = job.r;
    {
      std::lock_guard lock(mutex_);
      done_.push_back(std::move(done));
      busy_ = false;
    }
    changed_.notify_all();
    if (ready_) ready_();
  }
}

}  // namespace quelvar
