#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "common/GrayTables.h"
#include "net/StationSend.h"

namespace quelvar {

class LzssCodec;

// What the station sends every viewer for one recorded block, once decided:
// the raw block, or the codec's bytes of it (packed or not).
struct StationBlockOutcome {
  uint8_t code = 0;                 // StationMessage::RawBlock, CompressedBlock or PackedBlock
  std::vector<uint8_t> compressed;  // codes CompressedBlock and PackedBlock
  std::string ratioText;            // LabelRatio's new text; empty: left as it is
};

// The deciding half of SendStationBlock: packs and compresses when
// compression is on and `connections` viewers listen. r: the block's R (the
// block holds at least that many bytes). Nothing (no message at all) when
// packing is refused or memory runs out.
std::optional<StationBlockOutcome> DecideStationBlock(const StationStreamSettings& settings,
                                                      const StationBlockShape& shape, std::span<const uint16_t> block,
                                                      uint64_t r, int connections, LzssCodec& codec,
                                                      const GrayTables& gray, std::vector<uint16_t>& packed);

// The sending half: the outcome to every viewer connected now, the ratio
// label and each viewer's sent-block cell.
void SendStationBlockOutcome(StationLink& link, std::span<const uint16_t> block, uint64_t r,
                             const StationBlockOutcome& outcome);

// Whether compressing a block of this shape may take longer than the block
// lasts at channelRate (rows a second), so that it must not hold up the
// thread that takes the blocks in.
bool StationCompressionMayOutlastBlock(const StationBlockShape& shape, double channelRate);

// Compresses the station's recorded blocks on a thread of its own, one
// block after the other, in the order they were given; the owner sends them
// in that order. The worker is the codec's only user while blocks are
// waiting: the owner uses the codec itself only once Idle().
class StationCompressionWorker {
 public:
  // A block taken in, as the owner is to send it.
  struct Done {
    std::vector<uint16_t> block;  // the raw block, R bytes
    uint64_t r = 0;
    std::optional<StationBlockOutcome> outcome;  // nothing: the block is not sent
  };

  // `ready` is called on the worker's thread after each block; it should make
  // the owner call TakeDone soon. codec and gray outlive the worker.
  StationCompressionWorker(LzssCodec& codec, const GrayTables& gray, std::function<void()> ready);
  // Stops after the block in hand (blocks still waiting are dropped) and joins.
  ~StationCompressionWorker();
  StationCompressionWorker(const StationCompressionWorker&) = delete;
  StationCompressionWorker& operator=(const StationCompressionWorker&) = delete;

  // Copies the first r bytes of the block; the settings and the number of
  // viewers are those of now. When kMaxWaitingBlocks are waiting already, it
  // first waits for the oldest (memory stays bounded, no block is lost).
  void Submit(const StationStreamSettings& settings, const StationBlockShape& shape, std::span<const uint16_t> block,
              uint64_t r, int connections);
  // The blocks done since the last call, in the order given.
  std::vector<Done> TakeDone();
  // Waits until every block given is done.
  void WaitIdle();
  // Every block given is compressed and taken by TakeDone: the codec is free,
  // and a block sent now comes after all of them.
  bool Idle() const;

  // Blocks of about a second at a high block rate.
  static constexpr size_t kMaxWaitingBlocks = 64;

 private:
  struct Job {
    StationStreamSettings settings;
    StationBlockShape shape;
    std::vector<uint16_t> block;
    uint64_t r = 0;
    int connections = 0;
  };
  void Run();

  LzssCodec& codec_;
  const GrayTables& gray_;
  std::function<void()> ready_;
  std::vector<uint16_t> packed_;  // the worker's packing buffer

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> waiting_;
  std::vector<Done> done_;
  bool busy_ = false;  // a job is out of waiting_ and not yet in done_
  bool stopping_ = false;
  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace quelvar
